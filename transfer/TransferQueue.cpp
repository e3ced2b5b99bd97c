#include "transfer/TransferQueue.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "platform/MessageLoop.h"
#include "platform/Ticks.h"

namespace {

constexpr std::uint32_t kPumpMessage = platform::WM_USER + 41;
// The longest the loop sleeps before looking at time-outs and retry times.
constexpr std::uint32_t kLongestSleepMs = 250;

}  // namespace

TTransferQueue::TTransferQueue(ConnectionFactory factory, TQueueSettings settings)
    : factory_(std::move(factory)), settings_(settings) {
    settings_.connections = std::max(1, settings_.connections);
    settings_.maxAttempts = std::max(1, settings_.maxAttempts);
    limit_ = settings_.connections;
    workers_.resize(static_cast<std::size_t>(settings_.connections));
}

TTransferQueue::~TTransferQueue() = default;

int TTransferQueue::Add(TTransferItem item) {
    item.id = static_cast<int>(items_.size());
    item.state = TItemState::Waiting;
    items_.push_back(std::move(item));
    reached_.emplace_back();
    idleRaised_ = false;
    Schedule();
    return items_.back().id;
}

void TTransferQueue::Start() {
    started_ = true;
    Schedule();
}

void TTransferQueue::Schedule() {
    if (scheduled_ || !started_) return;
    scheduled_ = window_.Post(kPumpMessage, 0, 0);
}

platform::LParam TTransferQueue::HandleMessage(std::uint32_t message, platform::WParam, platform::LParam) {
    if (message == kPumpMessage) {
        scheduled_ = false;
        Pump();
    }
    return 0;
}

bool TTransferQueue::Finished() const {
    const bool itemsEnded = std::none_of(items_.begin(), items_.end(), [](const TTransferItem& item) {
        return item.state == TItemState::Waiting || item.state == TItemState::Running;
    });
    const bool closed = std::all_of(workers_.begin(), workers_.end(), [](const Worker& worker) {
        return worker.phase == Phase::Closed || worker.phase == Phase::Refused;
    });
    return itemsEnded && closed;
}

void TTransferQueue::RunToEnd() {
    Start();
    const std::weak_ptr<bool> alive = alive_;
    while (!Finished() && !platform::ApplicationTerminated()) {
        Pump();
        platform::ProcessMessages();
        if (alive.expired() || Finished()) break;
        (void)platform::WaitMessage(static_cast<int>(NextDueIn(platform::GetTickCount())));
    }
}

std::uint32_t TTransferQueue::NextDueIn(std::uint32_t now) const {
    std::uint32_t wait = kLongestSleepMs;
    for (const TTransferItem& item : items_)
        if (item.state == TItemState::Waiting && !TickReached(now, item.notBefore)) wait = std::min(wait, item.notBefore - now);
    return wait;
}

int TTransferQueue::CurrentStage() const {
    int stage = std::numeric_limits<int>::max();
    for (const TTransferItem& item : items_)
        if (item.state == TItemState::Waiting || item.state == TItemState::Running) stage = std::min(stage, item.stage);
    return stage;
}

int TTransferQueue::NextRunnable(std::uint32_t now) const {
    const int stage = CurrentStage();
    for (const TTransferItem& item : items_)
        if (item.state == TItemState::Waiting && item.stage == stage && !item.Local() && TickReached(now, item.notBefore))
            return item.id;
    return -1;
}

bool TTransferQueue::RemoteWorkLeft() const {
    return std::any_of(items_.begin(), items_.end(),
                       [](const TTransferItem& item) { return item.state == TItemState::Waiting && !item.Local(); });
}

void TTransferQueue::Pump() {
    if (!started_) return;
    const std::uint32_t now = platform::GetTickCount();
    RunLocalItems(CurrentStage());
    RaiseLimit(now);
    for (int index = 0; index < static_cast<int>(workers_.size()); ++index) PumpWorker(index, now);
    if (idleRaised_ || !Finished()) return;
    idleRaised_ = true;
    if (events.OnIdle) events.OnIdle();
}

void TTransferQueue::RaiseLimit(std::uint32_t now) {
    if (limit_ >= settings_.connections || !TickReached(now, raiseAt_)) return;
    ++limit_;
    raiseAt_ = now + settings_.raiseAfterMs;
    if (events.OnNotice) events.OnNotice("Trying " + std::to_string(limit_) + " connections again");
}

void TTransferQueue::RunLocalItems(int stage) {
    for (TTransferItem& item : items_)
        if (item.state == TItemState::Waiting && item.stage == stage && item.Local()) RunLocalItem(item);
}

// Folders are made and deleted on this machine at once; a folder that is
// already there is what was asked for.
void TTransferQueue::RunLocalItem(TTransferItem& item) {
    item.state = TItemState::Running;
    item.attempts = 1;
    if (events.OnStarted) events.OnStarted(item);
    const char* path = item.localPath.c_str();
    int result = 0;
    switch (item.action) {
        case TTransferAction::MakeFolder: {
            struct stat info {};
            result = ::mkdir(path, 0777) == 0 || (errno == EEXIST && ::stat(path, &info) == 0 && S_ISDIR(info.st_mode)) ? 0 : -1;
            break;
        }
        case TTransferAction::DeleteFile: result = ::unlink(path); break;
        case TTransferAction::DeleteFolder: result = ::rmdir(path); break;
        case TTransferAction::Transfer: break;
    }
    if (result == 0)
        Finish(item, TItemState::Done);
    else
        Finish(item, TItemState::Failed, item.localPath + ": " + std::strerror(errno));
}

void TTransferQueue::Finish(TTransferItem& item, TItemState state, const std::string& error) {
    item.state = state;
    if (!error.empty()) item.lastError = error;
    if ((state == TItemState::Done || state == TItemState::Skipped) && events.OnDone) events.OnDone(item);
    if (state == TItemState::Failed && events.OnFailed) events.OnFailed(item);
    Schedule();
}
