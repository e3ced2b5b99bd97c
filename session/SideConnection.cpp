#include "session/SideConnection.h"

#include "platform/MessageLoop.h"
#include "transfer/RemoteTreeWalker.h"

namespace {

// The longest the loop sleeps before it looks at time-outs again.
constexpr int kLongestSleepMs = 250;

}  // namespace

void WaitInLoop(const std::function<bool()>& done, TTransferConnection* connection) {
    while (!done() && !platform::ApplicationTerminated()) {
        platform::ProcessMessages();
        if (done()) break;
        if (connection != nullptr) connection->CheckTimeout();
        (void)platform::WaitMessage(kLongestSleepMs);
    }
}

std::unique_ptr<TTransferConnection> ConnectSide(const TFtpEndpoint& endpoint, TTransferResult& result) {
    auto connection = std::make_unique<TFtpTransferConnection>(endpoint);
    bool ended = false;
    connection->Connect([&](const TTransferResult& outcome) {
        result = outcome;
        ended = true;
    });
    WaitInLoop([&] { return ended; }, connection.get());
    if (!ended) result = {10060, "the program is closing", true};
    if (!result.Ok()) connection.reset();
    return connection;
}

TTransferResult WalkRemoteTree(TTransferConnection& connection, const std::string& root, TFileTree& tree, bool linksAsFiles,
                               bool missingIsEmpty, const TExcludeList& excludes) {
    TRemoteTreeWalker walker(connection, excludes);
    if (linksAsFiles) walker.KeepLinksAsFiles();
    TTransferResult result;
    bool ended = false;
    walker.Walk(root, tree, missingIsEmpty, [&](const TTransferResult& outcome) {
        result = outcome;
        ended = true;
    });
    WaitInLoop([&] { return ended; }, &connection);
    if (!ended) result = {10060, "the program is closing", true};
    return result;
}

std::optional<TRemoteEntry> StatRemoteFile(TTransferConnection& connection, const std::string& path, TTransferResult& result) {
    std::optional<TRemoteEntry> facts;
    bool ended = false;
    connection.Stat(path, [&](const TTransferResult& outcome, std::optional<TRemoteEntry> entry) {
        result = outcome;
        facts = std::move(entry);
        ended = true;
    });
    WaitInLoop([&] { return ended; }, &connection);
    if (!ended) result = {10060, "the program is closing", true};
    return facts;
}

std::string FailureSummary(const std::string& heading, const std::vector<std::string>& failures, std::size_t shown) {
    std::string text = heading;
    for (std::size_t i = 0; i < failures.size() && i < shown; ++i) text += "\n" + failures[i];
    if (failures.size() > shown) text += "\n... and " + std::to_string(failures.size() - shown) + " more (see the log)";
    return text;
}
