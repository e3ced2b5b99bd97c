// The window's transfer queue as the remote pane feeds it: every transfer,
// folder made and deletion, on connections of their own, and what follows
// a run's end.
#include <QCheckBox>

#include "dialogs/FrmOptions.h"
#include "session/RemotePane.h"
#include "session/SessionController.h"
#include "session/SideConnection.h"
#include "session/TransferListView.h"
#include "session/WindowQueue.h"
#include "util/ui/UiUtils.h"

// Servers that follow links in MLSD show a link back up the tree as the
// folder it leads to (a walk would go round, a deletion empty its target);
// LIST shows it as the link it is.
std::unique_ptr<TTransferConnection> TRemotePane::ConnectWalker(const QString& failure) {
    TTransferResult result;
    TFtpEndpoint endpoint = session_.TransferEndpoint();
    endpoint.machineListing = false;
    std::unique_ptr<TTransferConnection> connection = ConnectSide(endpoint, result);
    if (!connection) session_.ShowFailureText(Substitute(FromQt(failure), {result.text}));
    return connection;
}

bool TRemotePane::QueueRunning() const { return (queue_ && queue_->Running()) || serverRuns_ > 0; }

void TRemotePane::Enqueue(const std::vector<TTransferItem>& items, const char* heading,
                          std::unique_ptr<TTransferConnection> connection, const std::vector<std::string>& problems,
                          bool listServerAfter) {
    if (!queue_) {
        queue_ = std::make_unique<TWindowQueue>(session_);
        queue_->OnRunEnded = [this](bool filesUp, bool filesDown, bool treeChanged) {
            RunEnded(filesUp, filesDown, treeChanged);
        };
    }
    queue_->View = QueueView;
    const TWindowQueue::Heading counted = [heading](std::size_t count) {
        const std::string entries = std::to_string(count) + " " + FromQt(count == 1 ? tr("entry was") : tr("entries were"));
        return Substitute(Translated("TRemotePane", heading), {entries});
    };
    queue_->Add(items, TransferConnections(), counted, std::move(connection), problems, listServerAfter);
}

// The lists show what the run changed; the server's is read again after
// single uploads only when the options ask for it, as before the queue.
void TRemotePane::RunEnded(bool filesUp, bool filesDown, bool serverTreeChanged) {
    if (filesUp) session_.PlayTransferSound(true);
    if (filesDown) session_.PlayTransferSound(false);
    if (filesDown && session_.RefreshLocalFiles) session_.RefreshLocalFiles();
    const TfrmOptions* options = session_.W.frmOptions;
    const bool autoRefresh = options != nullptr && options->cbDirAutoRefresh->isChecked();
    if (!session_.FTP.Connected() || !(serverTreeChanged || (filesUp && autoRefresh))) return;
    session_.QueueListing();
    session_.QueuePrintDir();
}

void TRemotePane::StopQueue() {
    if (queue_) queue_->Stop();
}

void TRemotePane::RetryItems(const std::vector<TTransferItem>& items) {
    if (!session_.FTP.Connected()) return;
    Enqueue(items, QT_TR_NOOP("%1 not transferred again:"));
}

std::vector<std::string> TRemotePane::RunOnServer(const TFtpEndpoint& endpoint, std::unique_ptr<TTransferConnection> connection,
                                                  const std::vector<TTransferItem>& items) {
    TQueueSettings settings;
    settings.connections = 1;
    TTransferQueue queue([endpoint] { return std::make_unique<TFtpTransferConnection>(endpoint); }, settings);
    std::vector<std::string> failures;
    TTransferListView* view = QueueView;
    const int run = view != nullptr ? view->BeginRun() : 0;
    const auto show = [view, run](const TTransferItem& item, std::int64_t bytes = -1) {
        if (view != nullptr) view->Update(run, item, bytes);
    };
    queue.events.OnStarted = [show](const TTransferItem& item) { show(item); };
    queue.events.OnProgress = [show](const TTransferItem& item, std::int64_t bytes) { show(item, bytes); };
    queue.events.OnDone = [this, show](const TTransferItem& item) {
        const bool up = item.direction == TTransferDirection::Upload;
        session_.AddLogLine(up ? "Uploaded " + item.remotePath : "Downloaded " + item.localPath, TLogKind::Status);
        show(item);
    };
    queue.events.OnFailed = [this, show, &failures](const TTransferItem& item) {
        failures.push_back(item.remotePath + ": " + item.lastError);
        session_.AddLogLine("Failed " + item.remotePath + ": " + item.lastError, TLogKind::Status);
        show(item);
    };
    queue.events.OnNotice = [this](const std::string& notice) { session_.AddLogLine(notice, TLogKind::Status); };
    for (const TTransferItem& item : items) queue.Add(item);
    if (view != nullptr) view->Add(run, queue.Items());
    if (connection) queue.Adopt(std::move(connection));
    ++serverRuns_;
    queue.RunToEnd();
    --serverRuns_;
    return failures;
}
