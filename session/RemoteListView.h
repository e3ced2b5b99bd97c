#pragma once
// The remote file list: one model of entries (a caption and seven column
// texts) shown in one of four view styles. Large icons, small icons and list
// use an icon view; details uses a table with the eight columns, whose
// widths are kept while another style is shown.

#include <QStackedWidget>
#include <string>
#include <vector>

class QListView;
class QStandardItemModel;
class QTreeView;
class QIcon;

class TRemoteListView : public QStackedWidget {
public:
    enum ViewStyle { vsIcon = 0, vsSmallIcon = 1, vsList = 2, vsReport = 3 };
    static constexpr int ColumnCount = 8;

    explicit TRemoteListView(QWidget* parent = nullptr);

    int ViewStyle() const { return viewStyle_; }
    // Values outside 0..3 are ignored.
    void SetViewStyle(int style);
    int ColumnWidth(int column) const;
    void SetColumnWidth(int column, int width);

    int Count() const;
    void Clear();
    // `columns` are the seven texts after the caption (type, permission,
    // owner, group, size, last modified, link).
    void AddItem(const std::string& caption, const std::vector<std::string>& columns, const QIcon& icon);
    std::string Caption(int row) const;
    std::string ColumnText(int row, int column) const;

    QStandardItemModel* Model() const { return model_; }
    QListView* IconView() const { return iconView_; }
    QTreeView* DetailView() const { return detailView_; }

private:
    QStandardItemModel* model_;
    QListView* iconView_;
    QTreeView* detailView_;
    int viewStyle_ = vsList;
};
