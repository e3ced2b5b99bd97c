#pragma once
// The local pane's file list: a line per file with its name, size and
// modified time in columns. Keeps the few calls of a plain list that its
// users make (count, item, findItems by name), so that they read the same.

#include <QCoreApplication>
#include <QTreeWidget>

class TLocalFileList : public QTreeWidget {
    Q_DECLARE_TR_FUNCTIONS(TLocalFileList)

public:
    enum Column { colName, colSize, colModified, ColumnCount };

    explicit TLocalFileList(QWidget* parent = nullptr);

    int count() const { return topLevelItemCount(); }
    QTreeWidgetItem* item(int row) const { return topLevelItem(row); }
    // Lines whose name matches.
    QList<QTreeWidgetItem*> findItems(const QString& name, Qt::MatchFlags flags) const {
        return QTreeWidget::findItems(name, flags, colName);
    }
    // A line for the file at `path`, shown as `name`.
    QTreeWidgetItem* AddFile(const QIcon& icon, const QString& name, const QString& path);
    // Sets one role on every column of a line (the comparison's colours).
    static void SetLineData(QTreeWidgetItem* line, int role, const QVariant& value);
};
