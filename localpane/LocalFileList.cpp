#include "localpane/LocalFileList.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QLocale>

TLocalFileList::TLocalFileList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setHeaderLabels({tr("Name"), tr("Size"), tr("Modified")});
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(colName, QHeaderView::Stretch);
    header()->setSectionResizeMode(colSize, QHeaderView::ResizeToContents);
    header()->setSectionResizeMode(colModified, QHeaderView::ResizeToContents);
}

QTreeWidgetItem* TLocalFileList::AddFile(const QIcon& icon, const QString& name, const QString& path) {
    const QFileInfo info(path);
    auto* line = new QTreeWidgetItem(this);
    line->setIcon(colName, icon);
    line->setText(colName, name);
    // In bytes, as the server's list shows them: the two sides compare.
    line->setText(colSize, QString::number(info.size()));
    line->setTextAlignment(colSize, Qt::AlignRight | Qt::AlignVCenter);
    line->setText(colModified, QLocale().toString(info.lastModified(), QLocale::ShortFormat));
    return line;
}

void TLocalFileList::SetLineData(QTreeWidgetItem* line, int role, const QVariant& value) {
    for (int column = 0; column < ColumnCount; ++column) line->setData(column, role, value);
}
