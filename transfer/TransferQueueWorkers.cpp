// The workers of the transfer queue: log-in, one item at a time, the
// judgement of each outcome, and the close when the work is done.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "ftp/FtpLocalTimes.h"
#include "platform/Ticks.h"
#include "transfer/TransferQueue.h"
#include "util/MiscUtils.h"

namespace {

// A log-in refused this often in a row (for reasons that may pass) gives
// the remaining work up.
constexpr int kMaxConnectFailures = 4;
constexpr int kTooManyConnections = 421;

bool FileExists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

// The limit bounds new log-ins only: a connection that got in stays while
// there is work for it.
void TTransferQueue::PumpWorker(int index, std::uint32_t now) {
    Worker& worker = workers_[static_cast<std::size_t>(index)];
    if (worker.connection) worker.connection->CheckTimeout();
    const bool work = RemoteWorkLeft();
    switch (worker.phase) {
        case Phase::Closed:
            if (work && NextRunnable(now) >= 0 && TickReached(now, worker.notBefore) && ActiveWorkers(-1) < limit_)
                Connect(index);
            break;
        case Phase::Ready: {
            const int next = work ? NextRunnable(now) : -1;
            if (next >= 0)
                StartItem(index, next);
            else if (!work)
                Close(index);
            break;
        }
        case Phase::Connecting:
            // The others have done the work: a log-in still under way (a
            // server slow to answer it) is dropped, not waited for until
            // its time-out. Pump never runs inside this connection's own
            // callback, so it may go here.
            if (!work) {
                worker.connection.reset();
                worker.phase = Phase::Closed;
            }
            break;
        default: break;
    }
}

int TTransferQueue::ActiveWorkers(int except) const {
    int active = 0;
    for (int index = 0; index < static_cast<int>(workers_.size()); ++index) {
        const Phase phase = workers_[static_cast<std::size_t>(index)].phase;
        if (index != except && (phase == Phase::Connecting || phase == Phase::Ready || phase == Phase::Busy)) ++active;
    }
    return active;
}

void TTransferQueue::Connect(int index) {
    Worker& worker = workers_[static_cast<std::size_t>(index)];
    // A fresh connection for every log-in: nothing of a lost session's state
    // carries over. Pump runs from the queue's own message, never from
    // inside a callback of the connection being replaced.
    Bind(index, factory_());
    worker.phase = Phase::Connecting;
    const std::weak_ptr<bool> alive = alive_;
    worker.connection->Connect([this, index, alive](const TTransferResult& result) {
        if (!alive.expired()) Connected(index, result);
    });
}

void TTransferQueue::Bind(int index, std::unique_ptr<TTransferConnection> connection) {
    Worker& worker = workers_[static_cast<std::size_t>(index)];
    worker.connection = std::move(connection);
    worker.connection->OnProgress = [this, index](std::int64_t bytes) {
        const int item = workers_[static_cast<std::size_t>(index)].item;
        if (item < 0) return;
        Reached& reached = reached_[static_cast<std::size_t>(item)];
        reached.bytes = reached.offset + bytes;
        if (events.OnProgress) events.OnProgress(items_[static_cast<std::size_t>(item)], bytes);
    };
}

void TTransferQueue::Adopt(std::unique_ptr<TTransferConnection> connection) {
    for (int index = 0; index < static_cast<int>(workers_.size()); ++index) {
        if (workers_[static_cast<std::size_t>(index)].phase != Phase::Closed) continue;
        Bind(index, std::move(connection));
        workers_[static_cast<std::size_t>(index)].phase = Phase::Ready;
        Schedule();
        return;
    }
}

void TTransferQueue::Connected(int index, const TTransferResult& result) {
    Worker& worker = workers_[static_cast<std::size_t>(index)];
    if (result.Ok()) {
        worker.phase = Phase::Ready;
        worker.connectFailures = 0;
        Schedule();
        return;
    }
    worker.phase = Phase::Closed;
    // Others still logging in may be refused too, or may get in: counting
    // them, the limit settles at what the server takes.
    const int others = ActiveWorkers(index);
    if (result.code == kTooManyConnections && others > 0) return LowerLimit(index, others, result);
    if (result.Transient() && ++worker.connectFailures < kMaxConnectFailures) {
        worker.notBefore = platform::GetTickCount() + (settings_.retryDelayMs << (worker.connectFailures - 1));
        if (events.OnNotice) events.OnNotice("Log-in failed, trying again: " + result.text);
    } else if (others > 0) {
        // The others carry on; this worker stays out.
        worker.phase = Phase::Refused;
    } else {
        FailRemoteItems(result.text);
    }
    Schedule();
}

// The server has as many of our connections as it takes: keep the others,
// and try one more only after a while.
void TTransferQueue::LowerLimit(int index, int others, const TTransferResult& result) {
    if (others < limit_) {
        limit_ = others;
        if (events.OnNotice)
            events.OnNotice("The server refused another connection (" + result.text + "); going on with " +
                            std::to_string(limit_));
    }
    raiseAt_ = platform::GetTickCount() + settings_.raiseAfterMs;
    workers_[static_cast<std::size_t>(index)].notBefore = raiseAt_;
    Schedule();
}

void TTransferQueue::FailRemoteItems(const std::string& why) {
    for (TTransferItem& item : items_)
        if (item.state == TItemState::Waiting && !item.Local()) Finish(item, TItemState::Failed, why);
}

void TTransferQueue::StartItem(int index, int itemIndex) {
    Worker& worker = workers_[static_cast<std::size_t>(index)];
    TTransferItem& item = items_[static_cast<std::size_t>(itemIndex)];
    if (item.action == TTransferAction::Transfer && item.direction == TTransferDirection::Download &&
        item.exists == TFileExistsChoice::Skip && FileExists(item.localPath))
        return Finish(item, TItemState::Skipped);
    worker.phase = Phase::Busy;
    worker.item = itemIndex;
    item.state = TItemState::Running;
    ++item.attempts;
    if (events.OnStarted) events.OnStarted(item);
    const std::weak_ptr<bool> alive = alive_;
    const TTransferCallback done = [this, index, itemIndex, alive](const TTransferResult& result) {
        if (!alive.expired()) ItemEnded(index, itemIndex, result);
    };
    TTransferConnection& connection = *worker.connection;
    switch (item.action) {
        case TTransferAction::Transfer: Transfer(index, item, done); break;
        case TTransferAction::MakeFolder: connection.MakeFolder(item.remotePath, done); break;
        case TTransferAction::DeleteFile: connection.Delete(item.remotePath, false, done); break;
        case TTransferAction::DeleteFolder: connection.Delete(item.remotePath, true, done); break;
    }
}

// A download tried again keeps what an earlier attempt wrote (bytes the
// server had confirmed by sending them) and asks only for the rest.
void TTransferQueue::Transfer(int index, TTransferItem& item, const TTransferCallback& done) {
    TTransferConnection& connection = *workers_[static_cast<std::size_t>(index)].connection;
    connection.SetMode(item.text ? TTransferMode::Text : TTransferMode::Binary);
    if (item.direction == TTransferDirection::Upload && item.exists == TFileExistsChoice::Skip) {
        // Asked first: a file the server already has is left as it is.
        const std::weak_ptr<bool> alive = alive_;
        const int itemIndex = item.id;
        return connection.Stat(
            item.remotePath, [this, index, itemIndex, done, alive](const TTransferResult& found, std::optional<TRemoteEntry>) {
                if (alive.expired()) return;
                const TTransferItem& asked = items_[static_cast<std::size_t>(itemIndex)];
                if (!found.Ok())
                    return workers_[static_cast<std::size_t>(index)].connection->Put(asked.localPath, asked.remotePath, 0, done);
                Worker& worker = workers_[static_cast<std::size_t>(index)];
                worker.item = -1;
                worker.phase = Phase::Ready;
                Finish(items_[static_cast<std::size_t>(itemIndex)], TItemState::Skipped);
            });
    }
    if (item.direction == TTransferDirection::Upload)
        return connection.Put(item.localPath, item.remotePath, item.exists == TFileExistsChoice::Resume ? item.resumeAt : 0,
                              done);
    std::int64_t resumeAt = 0;
    const std::int64_t onDisk = FileExists(item.localPath) ? FileSizeOf(item.localPath) : 0;
    if (item.exists == TFileExistsChoice::Resume) resumeAt = onDisk;
    Reached& reached = reached_[static_cast<std::size_t>(item.id)];
    if (item.attempts > 1) resumeAt = std::max(resumeAt, std::min(onDisk, reached.bytes));
    reached = {resumeAt, resumeAt};
    connection.Get(item.remotePath, item.localPath, resumeAt, done);
}

void TTransferQueue::ItemEnded(int index, int itemIndex, const TTransferResult& result) {
    const TTransferItem& item = items_[static_cast<std::size_t>(itemIndex)];
    const bool uploaded = result.Ok() && item.action == TTransferAction::Transfer && item.direction == TTransferDirection::Upload;
    if (uploaded && (settings_.keepTimes || item.keepTime) && item.modifiedUtc) {
        if (workers_[static_cast<std::size_t>(index)].connection->CanSetModifyTime()) return SendModifyTime(index, itemIndex);
        if (events.OnNotice) events.OnNotice("The time of " + item.remotePath + " could not be set: the server offers no way");
    }
    Settle(index, itemIndex, result);
}

// The file is there whatever the answer: a server that refuses the time
// leaves the file with the time of its upload, which is no reason to send
// it again.
void TTransferQueue::SendModifyTime(int index, int itemIndex) {
    const TTransferItem& item = items_[static_cast<std::size_t>(itemIndex)];
    const std::weak_ptr<bool> alive = alive_;
    workers_[static_cast<std::size_t>(index)].connection->SetModifyTime(
        item.remotePath, *item.modifiedUtc, [this, index, itemIndex, alive](const TTransferResult& result) {
            if (alive.expired()) return;
            if (!result.Ok() && events.OnNotice)
                events.OnNotice("The time of " + items_[static_cast<std::size_t>(itemIndex)].remotePath +
                                " could not be set: " + result.text);
            TTransferResult uploaded;
            uploaded.connectionLost = result.connectionLost;
            Settle(index, itemIndex, uploaded);
        });
}

void TTransferQueue::Settle(int index, int itemIndex, const TTransferResult& result) {
    Worker& worker = workers_[static_cast<std::size_t>(index)];
    TTransferItem& item = items_[static_cast<std::size_t>(itemIndex)];
    worker.item = -1;
    worker.phase = result.connectionLost ? Phase::Closed : Phase::Ready;
    const std::uint32_t now = platform::GetTickCount();
    if (result.connectionLost) worker.notBefore = now;
    if (result.Ok()) {
        if (item.direction == TTransferDirection::Download && item.action == TTransferAction::Transfer && item.modifiedUtc)
            (void)SetLocalFileTime(item.localPath, *item.modifiedUtc);
        return Finish(item, TItemState::Done);
    }
    if (!result.Transient() || item.attempts >= settings_.maxAttempts) return Finish(item, TItemState::Failed, result.text);
    item.state = TItemState::Waiting;
    item.lastError = result.text;
    const std::uint32_t delay = settings_.retryDelayMs << std::min(item.attempts - 1, 10);
    item.notBefore = now + delay;
    if (events.OnNotice)
        events.OnNotice("Trying " + item.remotePath + " again in " + std::to_string(delay) + " ms: " + result.text);
    Schedule();
}

void TTransferQueue::Cancel(const std::string& why) {
    for (Worker& worker : workers_) {
        if (worker.phase == Phase::Refused) continue;
        worker.connection.reset();
        worker.phase = Phase::Closed;
        worker.item = -1;
    }
    for (TTransferItem& item : items_)
        if (item.state == TItemState::Waiting || item.state == TItemState::Running) Finish(item, TItemState::Failed, why);
    Schedule();
}

void TTransferQueue::Close(int index) {
    Worker& worker = workers_[static_cast<std::size_t>(index)];
    worker.phase = Phase::Closing;
    const std::weak_ptr<bool> alive = alive_;
    worker.connection->Disconnect([this, index, alive](const TTransferResult&) {
        if (alive.expired()) return;
        workers_[static_cast<std::size_t>(index)].phase = Phase::Closed;
        Schedule();
    });
}
