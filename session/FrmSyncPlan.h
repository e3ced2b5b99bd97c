#pragma once
// The plan of a synchronisation, shown before anything runs: one line per
// action (what, the path, its size, why), each with a tick, and the ticked
// totals below. Conflicts are shown without a tick: nothing can be done
// about them here. Run is offered only when something is ticked.
//
// Ticks keep the plan runnable: a file or folder to make needs the folder
// it goes into, so unticking a folder to make unticks what goes into it
// and ticking an entry ticks the folders it needs; a folder is deleted only
// when what it holds is, so ticking a folder's deletion ticks everything
// below it and unticking one of those unticks the folder.

#include <QCoreApplication>
#include <QDialog>
#include <vector>

#include "transfer/SyncPlan.h"

class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TfrmSyncPlan : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmSyncPlan)

public:
    enum Column { colAction, colPath, colSize, colReason, ColumnCount };

    explicit TfrmSyncPlan(QWidget* parent = nullptr);

    QTreeWidget* tvActions;
    QLabel* lblTotals;
    QPushButton* btnRun;
    QPushButton* btnCancel;

    // Every action but the skips gets a line, ticked (conflicts excepted).
    void SetPlan(const std::vector<TSyncAction>& plan);
    // The ticked actions, in the plan's order.
    std::vector<TSyncAction> TickedActions() const;

private:
    void Ticked(QTreeWidgetItem* line);
    void SetTick(int index, bool on);
    void ShowTotals();

    std::vector<TSyncAction> actions_;
    std::vector<QTreeWidgetItem*> lines_;
    int unchanged_ = 0;
    bool updating_ = false;
};
