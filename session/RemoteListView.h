#pragma once
// The remote file list: one model of entries shown in one of four view
// styles. Large icons, small icons and list use an icon view; details uses a
// table with the eight columns, whose widths are kept while another style is
// shown. Both views share the model and the selection.

#include <QStackedWidget>
#include <string>
#include <vector>

#include "session/RemoteFileModel.h"

class QAbstractItemView;
class QListView;
class QTreeView;

class TRemoteListView : public QStackedWidget {
public:
    enum ViewStyle { vsIcon = 0, vsSmallIcon = 1, vsList = 2, vsReport = 3 };
    static constexpr int ColumnCount = TRemoteFileModel::ColumnCount;

    explicit TRemoteListView(QWidget* parent = nullptr);

    int ViewStyle() const { return viewStyle_; }
    // Values outside 0..3 are ignored.
    void SetViewStyle(int style);
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);

    TRemoteFileModel* Model() const { return model_; }
    int Count() const { return model_->Count(); }
    void Clear() { model_->Clear(); }
    std::string Caption(int row) const { return model_->Caption(row); }
    std::string ColumnText(int row, int column) const { return model_->Text(row, column); }

    // Adding many rows: repainting is suspended and the rows are sorted once
    // at the end.
    void BeginUpdate(std::size_t expectedRows = 0);
    void EndUpdate();

    // Selected rows in list order.
    std::vector<int> SelectedRows() const;
    int SelectedCount() const;
    void SelectRow(int row, bool add = false);
    // True while a name is being edited in place.
    bool IsEditing() const;
    // Starts editing the row's name in place.
    void StartRename(int row);

    QAbstractItemView* CurrentView() const;
    QListView* IconView() const { return iconView_; }
    QTreeView* DetailView() const { return detailView_; }

private:
    // The icon styles lay out on a grid as wide as the longest names.
    void UpdateGrid();

    TRemoteFileModel* model_;
    QListView* iconView_;
    QTreeView* detailView_;
    int viewStyle_ = vsList;
};
