#include "session/RemoteListView.h"

#include <QHeaderView>
#include <QListView>
#include <QStandardItemModel>
#include <QTreeView>

#include "util/UiUtils.h"

namespace {

constexpr const char* kColumnTitles[TRemoteListView::ColumnCount] = {"Name",  "Type", "Permission",    "Owner",
                                                                     "Group", "Size", "Last modified", "Link"};
constexpr int kColumnWidths[TRemoteListView::ColumnCount] = {150, 75, 50, 50, 50, 50, 100, 50};

}  // namespace

TRemoteListView::TRemoteListView(QWidget* parent)
    : QStackedWidget(parent),
      model_(new QStandardItemModel(0, ColumnCount, this)),
      iconView_(new QListView(this)),
      detailView_(new QTreeView(this)) {
    for (int c = 0; c < ColumnCount; ++c) model_->setHeaderData(c, Qt::Horizontal, QString::fromLatin1(kColumnTitles[c]));
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(iconView_), static_cast<QAbstractItemView*>(detailView_)}) {
        view->setModel(model_);
        view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    }
    // Both views show the same selection, so switching style keeps it.
    detailView_->setSelectionModel(iconView_->selectionModel());
    detailView_->setRootIsDecorated(false);
    detailView_->setItemsExpandable(false);
    detailView_->setUniformRowHeights(true);
    detailView_->header()->setStretchLastSection(false);
    for (int c = 0; c < ColumnCount; ++c) detailView_->setColumnWidth(c, kColumnWidths[c]);
    addWidget(iconView_);
    addWidget(detailView_);
    SetViewStyle(vsList);
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
    iconView_->setGridSize(style == vsIcon ? QSize(80, 60) : QSize());
    setCurrentWidget(iconView_);
}

int TRemoteListView::ColumnWidth(int column) const { return detailView_->columnWidth(column); }

void TRemoteListView::SetColumnWidth(int column, int width) {
    if (column >= 0 && column < ColumnCount && width >= 0) detailView_->setColumnWidth(column, width);
}

int TRemoteListView::Count() const { return model_->rowCount(); }

void TRemoteListView::Clear() { model_->removeRows(0, model_->rowCount()); }

void TRemoteListView::AddItem(const std::string& caption, const std::vector<std::string>& columns, const QIcon& icon) {
    QList<QStandardItem*> row;
    row.append(new QStandardItem(icon, ToQt(caption)));
    for (int c = 1; c < ColumnCount; ++c) {
        const auto index = static_cast<std::size_t>(c - 1);
        row.append(new QStandardItem(index < columns.size() ? ToQt(columns[index]) : QString()));
    }
    model_->appendRow(row);
}

std::string TRemoteListView::Caption(int row) const { return ColumnText(row, 0); }

std::string TRemoteListView::ColumnText(int row, int column) const {
    const QStandardItem* item = model_->item(row, column);
    return item != nullptr ? FromQt(item->text()) : std::string();
}
