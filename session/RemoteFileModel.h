#pragma once
// The entries of the current remote folder: a caption (the name) and seven
// column texts per row, an icon, and the order of the remote list.
//
// Rows keep the server's bytes as they came, so a name that is not valid in
// the locale's encoding is shown as well as it can be and still sent back
// unchanged. The texts of all rows live in one arena, a row being a pointer
// and seven lengths: a listing of 100,000 entries stays a few megabytes.
//
// Order: "." first, ".." second, folders before files, then the sort column
// (the name unless the user chose another) in the locale's case-sensitive
// collation. A batch of rows is sorted once when it ends; a row added on its
// own is inserted in place.

#include <QAbstractTableModel>
#include <QCollator>
#include <QIcon>
#include <QList>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/TextArena.h"

// One entry as the listing parser hands it over.
struct TRemoteItem {
    std::string_view name;
    int type = 0;  // index returned by AddType; 0 is the empty text
    std::string_view permission;
    std::string_view owner;
    std::string_view group;
    std::string_view size;
    std::string_view modified;
    std::string_view link;
    int icon = -1;  // index returned by AddIcon; -1 for none
};

class TRemoteFileModel : public QAbstractTableModel {
public:
    enum Column { colName, colType, colPermission, colOwner, colGroup, colSize, colModified, colLink, ColumnCount };
    // What a drag out of the remote list carries: the dragged names, one per
    // line. Only the local file list accepts it.
    static constexpr char DragMimeType[] = "application/x-velliant-remote-entries";

    explicit TRemoteFileModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Editing the name (rename in place) keeps the row where it is and calls
    // OnRenamed; an unchanged or empty name changes nothing.
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    void sort(int column, Qt::SortOrder order) override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

    // Empties the rows and the icons.
    void Clear();
    int AddIcon(const QIcon& icon);
    int AddType(const QString& text);
    int IconCount() const { return static_cast<int>(icons_.size()); }
    // Rows added between BeginBatch and EndBatch appear together, sorted once.
    void BeginBatch(std::size_t expectedRows = 0);
    void EndBatch();
    void AddItem(const TRemoteItem& item);

    int Count() const { return static_cast<int>(rows_.size()); }
    // The server's bytes of a column (colType gives the type text).
    std::string Text(int row, int column) const;
    std::string Caption(int row) const { return Text(row, colName); }
    QIcon RowIcon(int row) const;
    // The Permission column starts with "D" or "d".
    bool IsFolder(int row) const;
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortOrder() const { return sortOrder_; }
    // The rows with the longest names (in bytes), longest first; the list
    // styles size their columns by them instead of measuring every row.
    std::vector<int> LongestNameRows(int count) const;
    // Bytes the rows and their texts take, for the listing benchmark.
    std::size_t MemoryUsed() const;

    std::function<void(int row, const std::string& oldName, const std::string& newName)> OnRenamed;

    // A row's background or text colour (Qt::BackgroundRole or
    // ForegroundRole) beyond the default: the comparison with the local
    // folder. An invalid value keeps the default.
    std::function<QVariant(int row, int role)> RowColour;
    // Draws every row again, after RowColour changed its answers.
    void RepaintRows();

    // The folder row files are being dragged over, drawn highlighted; -1
    // for none.
    void SetDropTarget(int row);
    int DropTarget() const { return dropTarget_; }

private:
    // The stored texts of a row, in this order after its text pointer.
    enum Field { fName, fPermission, fOwner, fGroup, fSize, fModified, fLink, FieldCount };
    struct Row {
        const char* text;
        std::uint32_t length[FieldCount];
        std::int32_t icon;
        std::uint32_t type;  // index into types_
        std::uint8_t rank;   // 0 ".", 1 "..", 2 folder, 3 file
    };

    Row MakeRow(const TRemoteItem& item);
    std::string_view FieldOf(const Row& row, Field field) const;
    QString DisplayText(const Row& row, int column) const;
    bool Before(const Row& a, const Row& b) const;
    void SortRows(std::vector<Row>& rows) const;
    static void ApplyOrder(std::vector<Row>& rows, std::vector<std::uint32_t>& order);
    static std::uint8_t RankOf(std::string_view name, std::string_view permission);

    std::vector<Row> rows_;
    std::vector<Row> batch_;
    bool batching_ = false;
    TTextArena arena_;
    std::vector<QString> types_;
    QList<QIcon> icons_;
    QCollator collator_;
    int sortColumn_ = colName;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    int dropTarget_ = -1;
};
