#include "session/RemoteFileModel.h"

#include <QCollatorSortKey>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPalette>
#include <algorithm>
#include <charconv>
#include <cstring>
#include <numeric>

namespace {

constexpr const char* kColumnTitles[TRemoteFileModel::ColumnCount] = {
    QT_TRANSLATE_NOOP("TRemoteFileModel", "Name"),          QT_TRANSLATE_NOOP("TRemoteFileModel", "Type"),
    QT_TRANSLATE_NOOP("TRemoteFileModel", "Permission"),    QT_TRANSLATE_NOOP("TRemoteFileModel", "Owner"),
    QT_TRANSLATE_NOOP("TRemoteFileModel", "Group"),         QT_TRANSLATE_NOOP("TRemoteFileModel", "Size"),
    QT_TRANSLATE_NOOP("TRemoteFileModel", "Last modified"), QT_TRANSLATE_NOOP("TRemoteFileModel", "Link")};

QString FromServer(std::string_view bytes) { return QString::fromLocal8Bit(bytes.data(), static_cast<qsizetype>(bytes.size())); }

// The size column as a number; texts that are not one sort before all sizes.
long long SizeValue(std::string_view text) {
    long long value = -1;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() ? value : -1;
}

}  // namespace

TRemoteFileModel::TRemoteFileModel(QObject* parent) : QAbstractTableModel(parent) {
    collator_.setCaseSensitivity(Qt::CaseSensitive);
    types_.emplace_back();
}

int TRemoteFileModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Count(); }

int TRemoteFileModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ColumnCount; }

std::string_view TRemoteFileModel::FieldOf(const Row& row, Field field) const {
    std::size_t at = 0;
    for (int f = 0; f < field; ++f) at += row.length[f];
    return {row.text + at, row.length[field]};
}

QString TRemoteFileModel::DisplayText(const Row& row, int column) const {
    switch (column) {
        case colName: return FromServer(FieldOf(row, fName));
        case colType: return types_[row.type];
        case colPermission: return FromServer(FieldOf(row, fPermission));
        case colOwner: return FromServer(FieldOf(row, fOwner));
        case colGroup: return FromServer(FieldOf(row, fGroup));
        case colSize: return FromServer(FieldOf(row, fSize));
        case colModified: return FromServer(FieldOf(row, fModified));
        case colLink: return FromServer(FieldOf(row, fLink));
        default: return {};
    }
}

QVariant TRemoteFileModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= Count()) return {};
    const Row& row = rows_[static_cast<std::size_t>(index.row())];
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
        case Qt::AccessibleTextRole: return DisplayText(row, index.column());
        case Qt::DecorationRole:
            if (index.column() == colName && row.icon >= 0 && row.icon < icons_.size()) return icons_[row.icon];
            return {};
        case Qt::TextAlignmentRole:
            if (index.column() == colSize) return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
            return {};
        case Qt::BackgroundRole:
            if (index.row() == dropTarget_) return QGuiApplication::palette().brush(QPalette::Highlight);
            return RowColour ? RowColour(index.row(), role) : QVariant();
        case Qt::ForegroundRole:
            if (index.row() == dropTarget_) return QGuiApplication::palette().brush(QPalette::HighlightedText);
            return RowColour ? RowColour(index.row(), role) : QVariant();
        default: return {};
    }
}

void TRemoteFileModel::RepaintRows() {
    if (Count() > 0) emit dataChanged(index(0, 0), index(Count() - 1, ColumnCount - 1), {Qt::BackgroundRole, Qt::ForegroundRole});
}

void TRemoteFileModel::SetDropTarget(int row) {
    if (row < 0 || row >= Count()) row = -1;
    if (row == dropTarget_) return;
    const int before = dropTarget_;
    dropTarget_ = row;
    for (int changed : {before, row})
        if (changed >= 0) emit dataChanged(index(changed, 0), index(changed, ColumnCount - 1));
}

QVariant TRemoteFileModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= ColumnCount) return {};
    return QCoreApplication::translate("TRemoteFileModel", kColumnTitles[section]);
}

Qt::ItemFlags TRemoteFileModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    if (index.column() == colName) flags |= Qt::ItemIsEditable;
    return flags;
}

bool TRemoteFileModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !index.isValid() || index.column() != colName || index.row() >= Count()) return false;
    const std::string newName = value.toString().toLocal8Bit().toStdString();
    const int rowIndex = index.row();
    const std::string oldName = Caption(rowIndex);
    if (newName.empty() || newName == oldName) return false;
    Row& row = rows_[static_cast<std::size_t>(rowIndex)];
    std::size_t total = newName.size();
    for (int f = fName + 1; f < FieldCount; ++f) total += row.length[f];
    char* text = arena_.Allocate(total);
    std::memcpy(text, newName.data(), newName.size());
    if (total > newName.size()) std::memcpy(text + newName.size(), row.text + row.length[fName], total - newName.size());
    row.text = text;
    row.length[fName] = static_cast<std::uint32_t>(newName.size());
    emit dataChanged(index, index);
    if (OnRenamed) OnRenamed(rowIndex, oldName, newName);
    return true;
}

QStringList TRemoteFileModel::mimeTypes() const { return {QString::fromLatin1(DragMimeType)}; }

QMimeData* TRemoteFileModel::mimeData(const QModelIndexList& indexes) const {
    QByteArray names;
    for (const QModelIndex& index : indexes) {
        if (index.column() != colName) continue;
        names += QByteArray::fromStdString(Caption(index.row()));
        names += '\n';
    }
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(DragMimeType), names);
    return data;
}

Qt::DropActions TRemoteFileModel::supportedDragActions() const { return Qt::CopyAction; }

void TRemoteFileModel::Clear() {
    beginResetModel();
    rows_.clear();
    rows_.shrink_to_fit();
    batch_.clear();
    arena_.Clear();
    icons_.clear();
    types_.resize(1);
    dropTarget_ = -1;
    endResetModel();
}

int TRemoteFileModel::AddIcon(const QIcon& icon) {
    icons_.append(icon);
    return static_cast<int>(icons_.size()) - 1;
}

void TRemoteFileModel::BeginBatch(std::size_t expectedRows) {
    batching_ = true;
    // Reserving costs address space only: pages the rows never reach are
    // never touched. It spares the copies of a growing vector.
    batch_.reserve(expectedRows);
}

void TRemoteFileModel::EndBatch() {
    batching_ = false;
    if (batch_.empty()) return;
    beginResetModel();
    if (rows_.empty())
        rows_.swap(batch_);
    else
        rows_.insert(rows_.end(), batch_.begin(), batch_.end());
    batch_ = {};
    SortRows(rows_);
    dropTarget_ = -1;
    endResetModel();
}

std::uint8_t TRemoteFileModel::RankOf(std::string_view name, std::string_view permission) {
    if (name == ".") return 0;
    if (name == "..") return 1;
    return !permission.empty() && (permission[0] == 'D' || permission[0] == 'd') ? 2 : 3;
}

int TRemoteFileModel::AddType(const QString& text) {
    types_.push_back(text);
    return static_cast<int>(types_.size()) - 1;
}

TRemoteFileModel::Row TRemoteFileModel::MakeRow(const TRemoteItem& item) {
    const std::string_view fields[FieldCount] = {item.name, item.permission, item.owner, item.group,
                                                 item.size, item.modified,   item.link};
    Row row{};
    std::size_t total = 0;
    for (const std::string_view& f : fields) total += f.size();
    // Never empty, so that no two rows share a text pointer (sort tells rows
    // apart by it).
    char* text = arena_.Allocate(std::max<std::size_t>(total, 1));
    row.text = text;
    for (int f = 0; f < FieldCount; ++f) {
        // An empty field may have no storage at all.
        if (!fields[f].empty()) std::memcpy(text, fields[f].data(), fields[f].size());
        text += fields[f].size();
        row.length[f] = static_cast<std::uint32_t>(fields[f].size());
    }
    row.icon = item.icon;
    row.type = item.type >= 0 && static_cast<std::size_t>(item.type) < types_.size() ? static_cast<std::uint32_t>(item.type) : 0;
    row.rank = RankOf(item.name, item.permission);
    return row;
}

void TRemoteFileModel::AddItem(const TRemoteItem& item) {
    Row row = MakeRow(item);
    if (batching_) {
        batch_.push_back(row);
        return;
    }
    const auto at =
        std::upper_bound(rows_.begin(), rows_.end(), row, [this](const Row& a, const Row& b) { return Before(a, b); });
    const int position = static_cast<int>(at - rows_.begin());
    beginInsertRows(QModelIndex(), position, position);
    rows_.insert(at, row);
    endInsertRows();
}

// The comparison of the remote list, for inserting one row.
bool TRemoteFileModel::Before(const Row& a, const Row& b) const {
    if (a.rank != b.rank) return a.rank < b.rank;
    int order = 0;
    if (sortColumn_ == colSize) {
        const long long x = SizeValue(FieldOf(a, fSize));
        const long long y = SizeValue(FieldOf(b, fSize));
        order = x < y ? -1 : (x > y ? 1 : 0);
    } else if (sortColumn_ == colType) {
        order = collator_.compare(types_[a.type], types_[b.type]);
    } else {
        const Field field = sortColumn_ == colName ? fName : static_cast<Field>(sortColumn_ - 1);
        order = collator_.compare(FromServer(FieldOf(a, field)), FromServer(FieldOf(b, field)));
    }
    return sortOrder_ == Qt::AscendingOrder ? order < 0 : order > 0;
}

// Sorting a whole listing compares collation keys made once per row rather
// than collating the same names over and over (a 100,000-row sort makes
// about two million comparisons).
void TRemoteFileModel::SortRows(std::vector<Row>& rows) const {
    const std::size_t n = rows.size();
    std::vector<std::uint32_t> order(n);
    std::iota(order.begin(), order.end(), 0u);
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    if (sortColumn_ == colSize || sortColumn_ == colType) {
        // Sizes compare as numbers; types by their place among the few
        // distinct type texts, collated once each.
        std::vector<long long> value(n);
        if (sortColumn_ == colSize) {
            for (std::size_t i = 0; i < n; ++i) value[i] = SizeValue(FieldOf(rows[i], fSize));
        } else {
            std::vector<std::uint32_t> typeOrder(types_.size());
            std::iota(typeOrder.begin(), typeOrder.end(), 0u);
            std::stable_sort(typeOrder.begin(), typeOrder.end(),
                             [this](std::uint32_t a, std::uint32_t b) { return collator_.compare(types_[a], types_[b]) < 0; });
            std::vector<long long> typeRank(types_.size());
            for (std::size_t r = 0; r < typeOrder.size(); ++r) typeRank[typeOrder[r]] = static_cast<long long>(r);
            for (std::size_t i = 0; i < n; ++i) value[i] = typeRank[rows[i].type];
        }
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            if (rows[a].rank != rows[b].rank) return rows[a].rank < rows[b].rank;
            return descending ? value[a] > value[b] : value[a] < value[b];
        });
    } else {
        const Field field = sortColumn_ == colName ? fName : static_cast<Field>(sortColumn_ - 1);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(n);
        for (const Row& row : rows) keys.push_back(collator_.sortKey(FromServer(FieldOf(row, field))));
        std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
            if (rows[a].rank != rows[b].rank) return rows[a].rank < rows[b].rank;
            const int c = keys[a].compare(keys[b]);
            return descending ? c > 0 : c < 0;
        });
    }
    ApplyOrder(rows, order);
}

// Puts rows[order[i]] at i, in place: a large listing is not copied again.
void TRemoteFileModel::ApplyOrder(std::vector<Row>& rows, std::vector<std::uint32_t>& order) {
    constexpr std::uint32_t kDone = UINT32_MAX;
    for (std::size_t start = 0; start < order.size(); ++start) {
        if (order[start] == kDone) continue;
        const Row first = rows[start];
        std::size_t at = start;
        while (order[at] != start) {
            const std::size_t from = order[at];
            rows[at] = rows[from];
            order[at] = kDone;
            at = from;
        }
        rows[at] = first;
        order[at] = kDone;
    }
}

void TRemoteFileModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= ColumnCount) return;
    sortColumn_ = column;
    sortOrder_ = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<const char*> identity;
    identity.reserve(static_cast<std::size_t>(before.size()));
    for (const QModelIndex& index : before) identity.push_back(rows_[static_cast<std::size_t>(index.row())].text);
    SortRows(rows_);
    // Selection and current item follow their rows; a row is known by its
    // text, which no two rows share.
    if (!before.isEmpty()) {
        QHash<const char*, int> rowOf;
        rowOf.reserve(Count());
        for (int r = 0; r < Count(); ++r) rowOf.insert(rows_[static_cast<std::size_t>(r)].text, r);
        QModelIndexList after;
        after.reserve(before.size());
        for (qsizetype i = 0; i < before.size(); ++i)
            after.append(index(rowOf.value(identity[static_cast<std::size_t>(i)]), before[i].column()));
        changePersistentIndexList(before, after);
    }
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

std::string TRemoteFileModel::Text(int row, int column) const {
    if (row < 0 || row >= Count() || column < 0 || column >= ColumnCount) return {};
    const Row& r = rows_[static_cast<std::size_t>(row)];
    if (column == colType) return types_[r.type].toLocal8Bit().toStdString();
    const std::string_view text = FieldOf(r, column == colName ? fName : static_cast<Field>(column - 1));
    return std::string(text);
}

QIcon TRemoteFileModel::RowIcon(int row) const {
    if (row < 0 || row >= Count()) return {};
    const int icon = rows_[static_cast<std::size_t>(row)].icon;
    return icon >= 0 && icon < icons_.size() ? icons_[icon] : QIcon();
}

bool TRemoteFileModel::IsFolder(int row) const {
    if (row < 0 || row >= Count()) return false;
    const std::string_view permission = FieldOf(rows_[static_cast<std::size_t>(row)], fPermission);
    return !permission.empty() && (permission[0] == 'D' || permission[0] == 'd');
}

std::size_t TRemoteFileModel::MemoryUsed() const {
    return rows_.capacity() * sizeof(Row) + batch_.capacity() * sizeof(Row) + arena_.BytesReserved();
}

std::vector<int> TRemoteFileModel::LongestNameRows(int count) const {
    std::vector<int> rows(rows_.size());
    std::iota(rows.begin(), rows.end(), 0);
    const auto longer = [this](int a, int b) {
        return rows_[static_cast<std::size_t>(a)].length[fName] > rows_[static_cast<std::size_t>(b)].length[fName];
    };
    const std::size_t keep = std::min(rows.size(), static_cast<std::size_t>(std::max(count, 0)));
    std::partial_sort(rows.begin(), rows.begin() + static_cast<std::ptrdiff_t>(keep), rows.end(), longer);
    rows.resize(keep);
    return rows;
}
