// The transfer queue as the remote pane runs it: folder uploads, folder
// deletions and retries of what failed, on connections of their own, each
// item logged and shown in the queue pane.
#include "session/RemotePane.h"
#include "session/SessionController.h"
#include "session/SideConnection.h"
#include "session/TransferListView.h"

namespace {

std::string DoneText(const TTransferItem& item) {
    switch (item.action) {
        case TTransferAction::MakeFolder: return "Made folder " + item.remotePath;
        case TTransferAction::DeleteFile:
        case TTransferAction::DeleteFolder: return "Deleted " + item.remotePath;
        case TTransferAction::Transfer: break;
    }
    return item.direction == TTransferDirection::Upload ? "Uploaded " + item.remotePath : "Downloaded " + item.localPath;
}

}  // namespace

std::vector<std::string> TRemotePane::RunQueue(std::unique_ptr<TTransferConnection> connection,
                                               const std::vector<TTransferItem>& items, int connections, bool keepTimes) {
    return RunQueue(session_.TransferEndpoint(), std::move(connection), items, connections, keepTimes);
}

std::vector<std::string> TRemotePane::RunQueue(const TFtpEndpoint& endpoint, std::unique_ptr<TTransferConnection> connection,
                                               const std::vector<TTransferItem>& items, int connections, bool keepTimes) {
    TQueueSettings settings;
    settings.connections = connections;
    settings.keepTimes = keepTimes;
    TTransferQueue queue([endpoint] { return std::make_unique<TFtpTransferConnection>(endpoint); }, settings);
    std::vector<std::string> failures;
    TTransferListView* view = QueueView;
    queue.events.OnStarted = [view](const TTransferItem& item) {
        if (view != nullptr) view->Update(item);
    };
    queue.events.OnProgress = [view](const TTransferItem& item, std::int64_t bytes) {
        if (view != nullptr) view->Update(item, bytes);
    };
    queue.events.OnDone = [this, view](const TTransferItem& item) {
        session_.AddLogLine(DoneText(item), TLogKind::Status);
        if (view != nullptr) view->Update(item);
    };
    queue.events.OnFailed = [this, view, &failures](const TTransferItem& item) {
        failures.push_back(item.remotePath + ": " + item.lastError);
        session_.AddLogLine("Failed " + item.remotePath + ": " + item.lastError, TLogKind::Status);
        if (view != nullptr) view->Update(item);
    };
    queue.events.OnNotice = [this](const std::string& notice) { session_.AddLogLine(notice, TLogKind::Status); };
    if (view != nullptr) view->BeginRun();
    for (const TTransferItem& item : items) {
        queue.Add(item);
        if (view != nullptr) view->Add(queue.Items().back());
    }
    if (connection) queue.Adopt(std::move(connection));
    session_.SetBusyState(true);
    ++queueRuns_;
    queue.RunToEnd();
    --queueRuns_;
    session_.SetBusyState(false);
    return failures;
}

void TRemotePane::RetryItems(const std::vector<TTransferItem>& items) {
    if (!session_.FTP.Connected() || Refused()) return;
    const std::vector<std::string> failures = RunQueue(nullptr, items, TransferConnections());
    if (!failures.empty()) session_.ShowFailureText(FailureSummary(std::to_string(failures.size()) + " failed again:", failures));
    session_.QueueListing();
    session_.QueuePrintDir();
}
