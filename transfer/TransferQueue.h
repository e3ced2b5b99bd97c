#pragma once
// A queue of transfer items run by up to N workers, each with its own
// logged-in connection; the connections are asynchronous and share the one
// message loop, so there are no threads.
//
// A failure that may pass (a network failure, a lost session, a 4xx reply)
// is tried again after a delay that doubles with each attempt, on whichever
// worker is free, and a download carries on from the bytes it already has.
// A 421 answer to a log-in means the server has enough connections from us:
// the number of workers drops to those still logged in and grows by one
// again after a while, so that the server never sees a flood of refused
// log-ins. An item that fails for good is reported once; the others go on.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/MessageWindow.h"
#include "transfer/TransferConnection.h"
#include "transfer/TransferEvents.h"
#include "transfer/TransferItem.h"

struct TQueueSettings {
    int connections = 1;
    int maxAttempts = 4;
    std::uint32_t retryDelayMs = 1000;
    // After a 421 lowered the number of connections, one more is tried after
    // this long.
    std::uint32_t raiseAfterMs = 60000;
    // An upload gives the server's file the item's time, where the server
    // offers a way; a download always gives its time to the local file.
    bool keepTimes = false;
};

class TTransferQueue : private platform::MessageTarget {
public:
    using ConnectionFactory = std::function<std::unique_ptr<TTransferConnection>()>;

    TTransferQueue(ConnectionFactory factory, TQueueSettings settings);
    ~TTransferQueue() override;
    TTransferQueue(const TTransferQueue&) = delete;
    TTransferQueue& operator=(const TTransferQueue&) = delete;

    // Returns the item's id (its index).
    int Add(TTransferItem item);
    // Hands a logged-in connection to a worker: the connection that walked
    // the tree goes on transferring without a second log-in.
    void Adopt(std::unique_ptr<TTransferConnection> connection);
    // Starts the workers; the queue then runs from the message loop.
    void Start();
    // Pumps the message loop until Finished().
    void RunToEnd();
    // Runs what has come due: retries after their delay, a raised connection
    // limit, the connections' time-outs. RunToEnd does this itself; a queue
    // that runs from the program's own loop after Start needs it called
    // every quarter second or so, as nothing else wakes it for these.
    void Tick() { Pump(); }
    // Every item ended and every connection is closed.
    bool Finished() const;
    // Ends every item not yet ended as failed with `why`: those waiting at
    // once, those running by dropping their connections (what they had
    // moved stays). Not from inside one of the queue's own events.
    void Cancel(const std::string& why);

    const std::vector<TTransferItem>& Items() const { return items_; }
    // How many connections may be open now (lowered by a 421).
    int ConnectionLimit() const { return limit_; }

    TTransferEvents events;

private:
    enum class Phase { Closed, Connecting, Ready, Busy, Closing, Refused };
    struct Worker {
        std::unique_ptr<TTransferConnection> connection;
        Phase phase = Phase::Closed;
        int item = -1;
        std::uint32_t notBefore = 0;
        int connectFailures = 0;
    };

    // Ticks wrap: `due` is reached when it lies at most half the range back.
    static bool TickReached(std::uint32_t now, std::uint32_t due) { return static_cast<std::int32_t>(now - due) >= 0; }
    platform::LParam HandleMessage(std::uint32_t message, platform::WParam, platform::LParam) override;
    // Runs Pump on the loop's next turn (once, however often it is asked).
    void Schedule();
    void Pump();
    int CurrentStage() const;
    // The next item a worker may start now; -1 when none.
    int NextRunnable(std::uint32_t now) const;
    bool RemoteWorkLeft() const;
    void RunLocalItems(int stage);
    void RunLocalItem(TTransferItem& item);
    void RaiseLimit(std::uint32_t now);
    std::uint32_t NextDueIn(std::uint32_t now) const;

    // TransferQueueWorkers.cpp
    void PumpWorker(int index, std::uint32_t now);
    void Connect(int index);
    void Bind(int index, std::unique_ptr<TTransferConnection> connection);
    void Connected(int index, const TTransferResult& result);
    void LowerLimit(int index, int others, const TTransferResult& result);
    void FailRemoteItems(const std::string& why);
    void StartItem(int index, int itemIndex);
    void Transfer(int index, TTransferItem& item, const TTransferCallback& done);
    void ItemEnded(int index, int itemIndex, const TTransferResult& result);
    void SendModifyTime(int index, int itemIndex);
    // The item's outcome: done, failed, or waiting for another attempt.
    void Settle(int index, int itemIndex, const TTransferResult& result);
    void Finish(TTransferItem& item, TItemState state, const std::string& error = {});
    void Close(int index);
    // Workers logging in or logged in, but for `except`.
    int ActiveWorkers(int except) const;

    ConnectionFactory factory_;
    TQueueSettings settings_;
    std::vector<TTransferItem> items_;
    std::vector<Worker> workers_;
    // Where each item's last attempt started in the file, and how far its
    // bytes reached: what a download tried again may keep.
    struct Reached {
        std::int64_t offset = 0;
        std::int64_t bytes = 0;
    };
    std::vector<Reached> reached_;
    int limit_ = 1;
    std::uint32_t raiseAt_ = 0;
    bool started_ = false;
    // OnIdle was raised for the items there are.
    bool idleRaised_ = false;
    bool scheduled_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    platform::MessageWindow window_{this};
};
