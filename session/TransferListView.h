#pragma once
// The transfer queue pane beside the log: one line per item of the window's
// transfer queue (direction, local and remote path, size, progress, rate
// and state, a failure with the server's reply), with Retry failed, Remove
// and Clear finished. The window's queue fills it from the queue's events.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

#include "transfer/TransferItem.h"

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TTransferListView : public QWidget {
    Q_DECLARE_TR_FUNCTIONS(TTransferListView)

public:
    enum Column { colDirection, colLocal, colRemote, colSize, colProgress, colRate, colState, ColumnCount };

    explicit TTransferListView(QWidget* parent = nullptr);

    QTreeWidget* tvItems;
    QPushButton* btnRetry;
    QPushButton* btnRemove;
    QPushButton* btnClear;
    QPushButton* btnStop;

    // Items of one run of the queue: their ids are the run's own. Returns
    // the run's number.
    int BeginRun();
    void Add(int run, const std::vector<TTransferItem>& items);
    // `bytes`: of the running attempt, when known.
    void Update(int run, const TTransferItem& item, std::int64_t bytes = -1);
    // Lines waiting or running.
    int Unfinished() const;
    // Runs the failed items again (they are removed from the list first).
    std::function<void(std::vector<TTransferItem>)> OnRetry;
    // Stops what waits and runs.
    std::function<void()> OnStop;

private:
    struct Line {
        TTransferItem item;
        // Since the attempt started: the rate of its bytes.
        QElapsedTimer started;
    };
    QTreeWidgetItem* LineOf(int run, const TTransferItem& item) const;
    void ShowRate(QTreeWidgetItem* line, Line& facts, std::int64_t bytes);
    void RetryFailed();
    void RemoveSelected();
    void ClearFinished();
    void ForgetRemovedLines();

    int runs_ = 0;
    std::map<std::pair<int, int>, QTreeWidgetItem*> lines_;
    std::map<QTreeWidgetItem*, Line> items_;
};
