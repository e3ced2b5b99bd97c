#include "session/WindowQueue.h"

#include <QProgressBar>
#include <QTimer>
#include <QWidget>

#include "session/SessionController.h"
#include "session/SideConnection.h"
#include "session/TransferListView.h"
#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

// The title and the status bar follow the bytes at most this often: the
// window manager redraws the title each time.
constexpr qint64 kShowEveryMs = 100;
// How often a run looks at retries that came due and at time-outs.
constexpr int kTickEveryMs = 250;

std::string DoneText(const TTransferItem& item) {
    switch (item.action) {
        case TTransferAction::MakeFolder: return "Made folder " + item.remotePath;
        case TTransferAction::DeleteFile:
        case TTransferAction::DeleteFolder: return "Deleted " + item.remotePath;
        case TTransferAction::Transfer: break;
    }
    if (item.state == TItemState::Skipped) return "Skipped \"" + item.remotePath + "\": the file exists on the server";
    return item.direction == TTransferDirection::Upload ? "Uploaded " + item.remotePath : "Downloaded " + item.localPath;
}

bool IsFile(const TTransferItem& item) { return item.action == TTransferAction::Transfer; }

}  // namespace

TWindowQueue::TWindowQueue(TSessionController& session) : session_(session) {
    ticker_.setInterval(kTickEveryMs);
    QObject::connect(&ticker_, &QTimer::timeout, [this] {
        if (queue_) queue_->Tick();
    });
}

TWindowQueue::~TWindowQueue() {
    if (queue_) ClearOverall();
}

void TWindowQueue::Add(const std::vector<TTransferItem>& items, int connections, Heading heading,
                       std::unique_ptr<TTransferConnection> connection, const std::vector<std::string>& problems,
                       bool listServerAfter) {
    if (!queue_) StartRun(connections);
    treeChanged_ = treeChanged_ || listServerAfter;
    groups_.push_back({std::move(heading), problems});
    std::vector<TTransferItem> added;
    added.reserve(items.size());
    for (const TTransferItem& item : items) {
        const int id = queue_->Add(item);
        groupOf_[id] = groups_.size() - 1;
        if (IsFile(item)) {
            ++totals_.files;
            totals_.bytes += item.size;
        }
        added.push_back(queue_->Items().back());
    }
    if (View != nullptr) View->Add(run_, added);
    if (connection) queue_->Adopt(std::move(connection));
    queue_->Start();
    ShowOverall(true);
    // Nothing to do (every entry was a problem): the run ends as it began.
    if (items.empty()) EndRunIfIdle();
}

void TWindowQueue::StartRun(int connections) {
    const TFtpEndpoint endpoint = session_.TransferEndpoint();
    TQueueSettings settings;
    settings.connections = connections;
    settings.keepTimes = session_.KeepFileTimesOn();
    queue_ =
        std::make_unique<TTransferQueue>([endpoint] { return std::make_unique<TFtpTransferConnection>(endpoint); }, settings);
    run_ = View != nullptr ? View->BeginRun() : run_ + 1;
    groups_.clear();
    groupOf_.clear();
    totals_ = {};
    uploaded_ = downloaded_ = treeChanged_ = stopped_ = false;
    ticker_.start();
    if (session_.W.mainWindow != nullptr) idleTitle_ = session_.W.mainWindow->windowTitle();
    Bind(*queue_);
}

void TWindowQueue::Bind(TTransferQueue& queue) {
    const std::weak_ptr<bool> alive = alive_;
    queue.events.OnStarted = [this](const TTransferItem& item) {
        if (View != nullptr) View->Update(run_, item);
    };
    queue.events.OnProgress = [this](const TTransferItem& item, std::int64_t bytes) {
        if (View != nullptr) View->Update(run_, item, bytes);
        totals_.running[item.id] = bytes;
        ShowOverall(false);
    };
    queue.events.OnDone = [this](const TTransferItem& item) {
        session_.AddLogLine(DoneText(item), TLogKind::Status);
        if (item.state != TItemState::Done) return Ended(item);
        if (item.direction == TTransferDirection::Download)
            downloaded_ = true;
        else
            (IsFile(item) ? uploaded_ : treeChanged_) = true;
        Ended(item);
    };
    queue.events.OnFailed = [this](const TTransferItem& item) {
        const std::string where = item.remotePath.empty() ? item.localPath : item.remotePath;
        if (!stopped_) groups_[groupOf_[item.id]].failures.push_back(where + ": " + item.lastError);
        session_.AddLogLine("Failed " + where + ": " + item.lastError, TLogKind::Status);
        Ended(item);
    };
    queue.events.OnNotice = [this](const std::string& notice) { session_.AddLogLine(notice, TLogKind::Status); };
    // Not from inside the queue's own event: the run's end destroys it.
    queue.events.OnIdle = [this, alive] {
        QTimer::singleShot(0, [this, alive] {
            if (!alive.expired()) EndRunIfIdle();
        });
    };
}

void TWindowQueue::Stop() {
    if (!queue_) return;
    stopped_ = true;
    session_.AddLogLine(FromQt(tr("Transfers stopped by the user")), TLogKind::Status);
    queue_->Cancel(FromQt(tr("stopped by the user")));
}

void TWindowQueue::Ended(const TTransferItem& item) {
    if (View != nullptr) View->Update(run_, item);
    totals_.running.erase(item.id);
    if (IsFile(item)) {
        ++totals_.filesEnded;
        totals_.bytesEnded += item.size;
    }
    ShowOverall(false);
}

// The queue is kept until then: items added meanwhile join this run.
void TWindowQueue::EndRunIfIdle() {
    if (!queue_ || !queue_->Finished()) return;
    queue_.reset();
    ticker_.stop();
    ClearOverall();
    const std::string summary = Summary();
    const bool uploaded = uploaded_;
    const bool downloaded = downloaded_;
    const bool treeChanged = treeChanged_;
    const std::weak_ptr<bool> alive = alive_;
    ending_ = true;
    if (!summary.empty()) session_.ShowFailureText(summary);
    if (!alive.expired() && OnRunEnded) OnRunEnded(uploaded, downloaded, treeChanged);
    if (!alive.expired()) ending_ = false;
}

std::string TWindowQueue::Summary() const {
    std::string text;
    for (const Group& group : groups_) {
        if (group.failures.empty()) continue;
        if (!text.empty()) text += "\n\n";
        text += FailureSummary(group.heading(group.failures.size()), group.failures);
    }
    return text;
}

// At most every kShowEveryMs; a change that comes sooner is shown when that
// time is up, so that the last one of a burst is not lost.
void TWindowQueue::ShowOverall(bool now) {
    if (!now && lastShown_.isValid() && lastShown_.elapsed() < kShowEveryMs) {
        if (redrawPending_) return;
        redrawPending_ = true;
        const std::weak_ptr<bool> alive = alive_;
        QTimer::singleShot(static_cast<int>(kShowEveryMs - lastShown_.elapsed()), [this, alive] {
            if (alive.expired()) return;
            redrawPending_ = false;
            if (queue_) ShowOverall(true);
        });
        return;
    }
    lastShown_.start();
    std::int64_t bytes = totals_.bytesEnded;
    for (const auto& entry : totals_.running) bytes += entry.second;
    const int scaled = totals_.bytes > 0 ? TSessionController::ScaledProgress(bytes, totals_.bytes)
                                         : TSessionController::ScaledProgress(totals_.filesEnded, totals_.files);
    const QString files = tr("%1 of %2 files").arg(totals_.filesEnded).arg(totals_.files);
    if (QProgressBar* bar = session_.W.pbTransferStatus; bar != nullptr) {
        bar->setRange(0, TSessionController::ProgressScale);
        bar->setValue(scaled);
        bar->setFormat(files);
        bar->setTextVisible(true);
        bar->setToolTip(tr("%1, %2 of %3").arg(files, ToQt(SizeText(bytes)), ToQt(SizeText(totals_.bytes))));
    }
    if (QWidget* window = session_.W.mainWindow; window != nullptr)
        window->setWindowTitle(
            tr("%1, %2% - %3").arg(files).arg(scaled / (TSessionController::ProgressScale / 100)).arg(idleTitle_));
}

void TWindowQueue::ClearOverall() {
    if (QProgressBar* bar = session_.W.pbTransferStatus; bar != nullptr) {
        bar->setValue(bar->minimum());
        bar->setTextVisible(false);
        bar->setToolTip(QString());
    }
    if (QWidget* window = session_.W.mainWindow; window != nullptr && !idleTitle_.isEmpty()) window->setWindowTitle(idleTitle_);
}
