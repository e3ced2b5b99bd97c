#pragma once
// The transfer queue pane beside the log: one line per item of the folder
// uploads and deletions (direction, local and remote path, size, progress
// and state, a failure with the server's reply), with Retry failed, Remove
// and Clear finished. The remote pane fills it from the queue's events.

#include <QCoreApplication>
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
    enum Column { colDirection, colLocal, colRemote, colSize, colProgress, colState, ColumnCount };

    explicit TTransferListView(QWidget* parent = nullptr);

    QTreeWidget* tvItems;
    QPushButton* btnRetry;
    QPushButton* btnRemove;
    QPushButton* btnClear;

    // Items of one run of the queue: their ids are the run's own.
    void BeginRun();
    void Add(const TTransferItem& item);
    void Update(const TTransferItem& item, std::int64_t bytes = -1);
    // Lines waiting or running.
    int Unfinished() const;
    // Runs the failed items again (they are removed from the list first).
    std::function<void(std::vector<TTransferItem>)> OnRetry;

private:
    QTreeWidgetItem* LineOf(const TTransferItem& item) const;
    void RetryFailed();
    void RemoveSelected();
    void ClearFinished();

    int runBase_ = 0;
    int nextKey_ = 0;
    std::map<int, QTreeWidgetItem*> lines_;
    std::map<QTreeWidgetItem*, TTransferItem> items_;
};
