#include "session/RemoteListView.h"

#include <QHeaderView>
#include <QListView>
#include <QTreeView>
#include <algorithm>

namespace {

constexpr int kColumnWidths[TRemoteListView::ColumnCount] = {150, 75, 50, 50, 50, 50, 100, 50};

// A view's editing state is protected; these subclasses tell an open
// in-place editor from a plain focus.
class EditableIconView : public QListView {
public:
    using QListView::QListView;
    bool Editing() const { return state() == EditingState; }
};

class EditableDetailView : public QTreeView {
public:
    using QTreeView::QTreeView;
    bool Editing() const { return state() == EditingState; }
};

}  // namespace

TRemoteListView::TRemoteListView(QWidget* parent)
    : QStackedWidget(parent),
      model_(new TRemoteFileModel(this)),
      iconView_(new EditableIconView(this)),
      detailView_(new EditableDetailView(this)) {
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(iconView_), static_cast<QAbstractItemView*>(detailView_)}) {
        view->setModel(model_);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setSelectionBehavior(QAbstractItemView::SelectRows);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
        view->setDragEnabled(true);
        view->setDragDropMode(QAbstractItemView::DragDrop);
        view->setDefaultDropAction(Qt::CopyAction);
        view->setAcceptDrops(true);
    }
    // Every row has the height of one line of text: the views need not measure
    // each of a large listing's rows to lay them out.
    iconView_->setUniformItemSizes(true);
    iconView_->setMovement(QListView::Static);
    // Both views show the same selection, so switching style keeps it.
    detailView_->setSelectionModel(iconView_->selectionModel());
    detailView_->setRootIsDecorated(false);
    detailView_->setItemsExpandable(false);
    detailView_->setUniformRowHeights(true);
    detailView_->setAllColumnsShowFocus(true);
    detailView_->header()->setStretchLastSection(false);
    detailView_->header()->setSortIndicator(TRemoteFileModel::colName, Qt::AscendingOrder);
    detailView_->setSortingEnabled(true);
    for (int c = 0; c < ColumnCount; ++c) detailView_->setColumnWidth(c, kColumnWidths[c]);
    addWidget(iconView_);
    addWidget(detailView_);
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { UpdateGrid(); });
    connect(model_, &QAbstractItemModel::rowsInserted, this, [this] { UpdateGrid(); });
    SetViewStyle(vsList);
}

void TRemoteListView::UpdateGrid() {
    if (viewStyle_ == vsReport) return;
    if (viewStyle_ == vsIcon) {
        iconView_->setGridSize(QSize(80, 60));
        return;
    }
    // Names longer than this are elided rather than widening every column.
    constexpr int kWidestColumn = 400;
    constexpr int kProbes = 64;
    const QFontMetrics metrics(iconView_->font());
    int widest = metrics.horizontalAdvance(QStringLiteral("...."));
    for (int row : model_->LongestNameRows(kProbes))
        widest = std::max(widest, metrics.horizontalAdvance(model_->data(model_->index(row, 0), Qt::DisplayRole).toString()));
    const int icon = iconView_->iconSize().width();
    const int width = std::min(widest + icon + 16, kWidestColumn);
    const int height = std::max(metrics.height(), icon) + 4;
    iconView_->setGridSize(QSize(width, height));
}

void TRemoteListView::SetViewStyle(int style) {
    if (style < vsIcon || style > vsReport) return;
    viewStyle_ = style;
    if (style == vsReport) {
        setCurrentWidget(detailView_);
        return;
    }
    iconView_->setViewMode(style == vsIcon ? QListView::IconMode : QListView::ListMode);
    iconView_->setFlow(style == vsList ? QListView::TopToBottom : QListView::LeftToRight);
    iconView_->setWrapping(true);
    iconView_->setResizeMode(QListView::Adjust);
    iconView_->setIconSize(style == vsIcon ? QSize(32, 32) : QSize(16, 16));
    iconView_->setWordWrap(style == vsIcon);
    UpdateGrid();
    // The icon mode switches moving on; the list is sorted, never arranged.
    iconView_->setMovement(QListView::Static);
    iconView_->setDragDropMode(QAbstractItemView::DragDrop);
    setCurrentWidget(iconView_);
}

int TRemoteListView::ColumnWidth(int column) const { return detailView_->columnWidth(column); }

void TRemoteListView::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < ColumnCount && width >= 0) detailView_->setColumnWidth(column, width);
}

void TRemoteListView::BeginUpdate(std::size_t expectedRows) {
    setUpdatesEnabled(false);
    model_->BeginBatch(expectedRows);
}

void TRemoteListView::EndUpdate() {
    model_->EndBatch();
    setUpdatesEnabled(true);
}

std::vector<int> TRemoteListView::SelectedRows() const {
    // Whichever view made the selection, a row counts once however many of
    // its columns are selected.
    std::vector<int> rows;
    for (const QModelIndex& index : iconView_->selectionModel()->selectedIndexes()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int TRemoteListView::SelectedCount() const { return static_cast<int>(SelectedRows().size()); }

void TRemoteListView::SelectRow(int row, bool add) {
    const QModelIndex index = model_->index(row, TRemoteFileModel::colName);
    if (!index.isValid()) return;
    QItemSelectionModel::SelectionFlags how = QItemSelectionModel::Select | QItemSelectionModel::Rows;
    if (!add) how |= QItemSelectionModel::Clear;
    iconView_->selectionModel()->select(index, how);
    iconView_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
}

bool TRemoteListView::IsEditing() const {
    return static_cast<const EditableIconView*>(iconView_)->Editing() ||
           static_cast<const EditableDetailView*>(detailView_)->Editing();
}

void TRemoteListView::StartRename(int row) {
    const QModelIndex index = model_->index(row, TRemoteFileModel::colName);
    if (!index.isValid()) return;
    QAbstractItemView* view = CurrentView();
    view->setCurrentIndex(index);
    view->edit(index);
}

QAbstractItemView* TRemoteListView::CurrentView() const {
    return viewStyle_ == vsReport ? static_cast<QAbstractItemView*>(detailView_) : static_cast<QAbstractItemView*>(iconView_);
}
