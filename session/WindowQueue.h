#pragma once
// The window's transfer queue: every transfer, folder made and deletion the
// remote pane starts runs here, on connections of its own, while the
// browsing connection stays free. Work added while a run goes on joins it;
// the run ends when every item has ended, with one summary of what failed.
// While it runs, the status bar's progress bar and the window's title show
// the files and bytes done of the whole run.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "transfer/TransferQueue.h"

class TSessionController;
class TTransferListView;

class TWindowQueue {
    Q_DECLARE_TR_FUNCTIONS(TWindowQueue)

public:
    explicit TWindowQueue(TSessionController& session);
    ~TWindowQueue();
    TWindowQueue(const TWindowQueue&) = delete;
    TWindowQueue& operator=(const TWindowQueue&) = delete;

    // The heading of a group's failures for `count` of them ("3 entries
    // were not uploaded:").
    using Heading = std::function<std::string(std::size_t count)>;

    // Adds `items` to the run (a new run with `connections` connections to
    // the session's server when none goes on); `connection`, a logged-in
    // one, is put to work at once. `problems` are lines for the summary
    // found before anything was queued.
    // With `listServerAfter`, the server's folder is listed again when the
    // run ends, whatever it held.
    void Add(const std::vector<TTransferItem>& items, int connections, Heading heading,
             std::unique_ptr<TTransferConnection> connection = nullptr, const std::vector<std::string>& problems = {},
             bool listServerAfter = false);
    // A run goes on: items wait or run, or its end is still being handled.
    bool Running() const { return queue_ != nullptr || ending_; }
    // Stops the run: nothing more starts, and what runs ends where it is.
    // The user asked for it, so the end shows no summary of the stopped.
    void Stop();

    // May be null.
    TTransferListView* View = nullptr;
    // After a run ended and its summary was shown: whether files went up,
    // files or folders came down, and whether folders were made or entries
    // deleted on the server.
    std::function<void(bool filesUp, bool localChanged, bool serverTreeChanged)> OnRunEnded;

private:
    struct Group {
        Heading heading;
        std::vector<std::string> failures;
    };
    struct Totals {
        int files = 0;
        int filesEnded = 0;
        std::int64_t bytes = 0;
        std::int64_t bytesEnded = 0;
        // Bytes of the items running now, by item id.
        std::map<int, std::int64_t> running;
    };

    void StartRun(int connections);
    void Bind(TTransferQueue& queue);
    void Ended(const TTransferItem& item);
    void EndRunIfIdle();
    void ShowOverall(bool now);
    void ClearOverall();
    std::string Summary() const;

    TSessionController& session_;
    std::unique_ptr<TTransferQueue> queue_;
    int run_ = 0;
    std::vector<Group> groups_;
    std::map<int, std::size_t> groupOf_;
    Totals totals_;
    bool uploaded_ = false;
    bool downloaded_ = false;
    bool treeChanged_ = false;
    bool ending_ = false;
    bool stopped_ = false;
    bool redrawPending_ = false;
    QTimer ticker_;
    QString idleTitle_;
    QElapsedTimer lastShown_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
