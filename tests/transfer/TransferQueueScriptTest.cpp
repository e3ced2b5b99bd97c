// The queue against the scripted server: the commands each file costs, and
// the faults real servers do not produce on demand (a connection dropped in
// the middle of a file, 421 at log-in, a file that fails for good).
#include <gtest/gtest.h>

#include <optional>

#include "platform/MessageLoop.h"
#include "tests/support/ScriptedFtpServer.h"
#include "tests/support/TempDir.h"
#include "transfer/FtpTransferConnection.h"
#include "transfer/RemoteTreeWalker.h"
#include "transfer/TransferQueue.h"

namespace {

class QueueScript : public ::testing::Test {
protected:
    ScriptedFtpServer& LogIn() {
        return server.Send("220 hi\r\n").Reply("USER bob", "331 pw").Reply("PASS pw", "230 in").Reply("PWD", "257 \"/home\"");
    }
    ScriptedFtpServer& Retr(const std::string& path, const std::string& bytes) {
        return server.Expect("PASV")
            .PasvReply()
            .Expect("RETR " + path)
            .DataAccept()
            .Send("150 go\r\n")
            .DataSend(bytes)
            .DataClose()
            .Send("226 ok\r\n");
    }
    void Download(const std::string& name) {
        TTransferItem item;
        item.remotePath = name;
        item.localPath = local.File(name);
        (void)queue->Add(item);
    }
    // Runs the queue with `connections` workers to its end.
    void Run(int connections) {
        ASSERT_TRUE(server.Start()) << server.Failure();
        const TFtpEndpoint endpoint = Endpoint();
        settings.connections = connections;
        queue =
            std::make_unique<TTransferQueue>([endpoint] { return std::make_unique<TFtpTransferConnection>(endpoint); }, settings);
        queue->events.OnFailed = [this](const TTransferItem& item) { failed.push_back(item.remotePath + ": " + item.lastError); };
        for (const auto& name : names) Download(name);
        queue->RunToEnd();
        EXPECT_TRUE(server.WaitDone(5000)) << server.Failure();
    }
    TFtpEndpoint Endpoint() const {
        TFtpEndpoint endpoint;
        endpoint.host = "127.0.0.1";
        endpoint.port = std::to_string(server.Port());
        endpoint.user = "bob";
        endpoint.password = "pw";
        endpoint.timeoutSeconds = timeoutSeconds;
        return endpoint;
    }
    void TearDown() override {
        EXPECT_EQ(server.Failure(), "");
        server.Stop();
    }

    ScriptedFtpServer server;
    TempDir local;
    TQueueSettings settings{1, 3, 20, 60000};
    std::vector<std::string> names;
    std::unique_ptr<TTransferQueue> queue;
    std::vector<std::string> failed;
    int timeoutSeconds = 10;
};

}  // namespace

// On an open session a file costs PASV and RETR with its full path: the
// mode is set once, no folder is changed, no size asked. A file the server
// refuses for good is reported once, and the others are fetched all the same.
TEST_F(QueueScript, EachFileCostsTwoCommandsAndAPermanentFailureIsReportedOnce) {
    LogIn().Reply("TYPE I", "200 binary");
    Retr("/home/a", "AAA");
    server.Expect("PASV").PasvReply().Reply("RETR /home/b", "550 No such file");
    Retr("/home/c", "CCCC").Reply("QUIT", "221 bye");
    names = {"a", "b", "c"};
    ASSERT_NO_FATAL_FAILURE(Run(1));

    EXPECT_EQ(server.Lines(), (std::vector<std::string>{"USER bob", "PASS *****", "PWD", "TYPE I", "PASV", "RETR /home/a", "PASV",
                                                        "RETR /home/b", "PASV", "RETR /home/c", "QUIT"}));
    EXPECT_EQ(failed, (std::vector<std::string>{"b: 550 No such file"}));
    EXPECT_EQ(ReadFile(local.File("a")), "AAA");
    EXPECT_EQ(ReadFile(local.File("c")), "CCCC");
    EXPECT_EQ(queue->Items()[1].attempts, 1) << "a 5xx is not tried again";
}

// The session dies in the middle of a file: the next session asks for the
// rest only (REST) and the file ends up byte for byte the server's.
TEST_F(QueueScript, ADropInTheMiddleOfAFileIsResumedOnANewSession) {
    const std::string content = RandomBytes(300000, 3);
    const std::size_t half = 100000;
    LogIn().Reply("TYPE I", "200 binary").Expect("PASV").PasvReply().Expect("RETR /home/f").DataAccept().Send("150 go\r\n");
    server.DataSend(content.substr(0, half)).Pause(200).Close().AcceptAgain();
    LogIn().Reply("TYPE I", "200 binary").Expect("PASV").PasvReply().Reply("REST " + std::to_string(half), "350 ok");
    server.Expect("RETR /home/f").DataAccept().Send("150 go\r\n").DataSend(content.substr(half)).DataClose().Send("226 ok\r\n");
    server.Reply("QUIT", "221 bye");
    names = {"f"};
    ASSERT_NO_FATAL_FAILURE(Run(1));

    EXPECT_TRUE(failed.empty()) << failed.front();
    EXPECT_EQ(queue->Items()[0].attempts, 2);
    EXPECT_TRUE(ReadFile(local.File("f")) == content) << "the resumed file differs from the server's";
}

// A server that stops answering in the middle of a file is given up after
// the time-out, and the file is finished on a new session.
TEST_F(QueueScript, ASilentServerIsGivenUpAndTheFileFinishedOnANewSession) {
    LogIn().Reply("TYPE I", "200 binary").Expect("PASV").PasvReply().Expect("RETR /home/f").DataAccept().Send("150 go\r\n");
    server.DataSend("part").Silence(5000).AcceptAgain();
    LogIn().Reply("TYPE I", "200 binary").Expect("PASV").PasvReply().Reply("REST 4", "350 ok");
    server.Expect("RETR /home/f").DataAccept().Send("150 go\r\n").DataSend(" and rest").DataClose().Send("226 ok\r\n");
    server.Reply("QUIT", "221 bye");
    names = {"f"};
    timeoutSeconds = 1;
    ASSERT_NO_FATAL_FAILURE(Run(1));

    EXPECT_TRUE(failed.empty()) << failed.front();
    EXPECT_EQ(ReadFile(local.File("f")), "part and rest");
}

// Two workers log in at once and the server turns one away with 421: the
// queue goes on with one connection and does not knock again at once.
TEST_F(QueueScript, A421AtLogInLowersTheNumberOfConnections) {
    server.Send("421 Too many connections from your address\r\n").Close().AcceptAgain();
    LogIn().Reply("TYPE I", "200 binary");
    Retr("/home/a", "A");
    Retr("/home/b", "B").Reply("QUIT", "221 bye");
    names = {"a", "b"};
    ASSERT_NO_FATAL_FAILURE(Run(2));

    EXPECT_TRUE(failed.empty()) << failed.front();
    EXPECT_EQ(queue->ConnectionLimit(), 1);
    EXPECT_EQ(ReadFile(local.File("a")) + ReadFile(local.File("b")), "AB");
}

// The second worker's log-in is never answered (a server that has not
// read its USER yet), and the first worker does all the work: the queue
// ends with it instead of waiting for a log-in nothing is left for.
TEST_F(QueueScript, ALogInWithNothingLeftToDoIsNotWaitedFor) {
    LogIn().Reply("TYPE I", "200 binary");
    Retr("/home/a", "A").Reply("QUIT", "221 bye");
    names = {"a"};
    timeoutSeconds = 2;
    std::vector<std::string> notices;
    settings.connections = 2;
    ASSERT_TRUE(server.Start()) << server.Failure();
    const TFtpEndpoint endpoint = Endpoint();
    queue = std::make_unique<TTransferQueue>([endpoint] { return std::make_unique<TFtpTransferConnection>(endpoint); }, settings);
    queue->events.OnNotice = [&notices](const std::string& notice) { notices.push_back(notice); };
    Download("a");
    queue->RunToEnd();
    EXPECT_TRUE(server.WaitDone(5000)) << server.Failure();

    EXPECT_EQ(ReadFile(local.File("a")), "A");
    EXPECT_EQ(notices, std::vector<std::string>{}) << "the unanswered log-in ran into its time-out";
}

// Pumps the loop until `done` is set (the connection's own time-out bounds it).
static void AwaitResult(const std::optional<TTransferResult>& done) {
    while (!done) {
        platform::ProcessMessages();
        if (!done) (void)platform::WaitMessage(100);
    }
}

// The connection's log-in result.
static TTransferResult ConnectAndWait(TFtpTransferConnection& connection) {
    std::optional<TTransferResult> done;
    connection.Connect([&done](const TTransferResult& result) { done = result; });
    AwaitResult(done);
    return *done;
}

// A listing is outside input: names that would leave their folder are left
// out, links are not followed, and the dates keep their precision.
TEST_F(QueueScript, TheRemoteWalkerRefusesHostileNamesAndLinks) {
    const auto list = [this](const std::string& folder, const std::string& listing) {
        server.Reply("CWD " + folder, "250 ok").Expect("PASV").PasvReply().Expect("LIST -a").DataAccept();
        server.Send("150 go\r\n").DataSend(listing).DataClose().Send("226 ok\r\n");
    };
    LogIn();
    list("/home/site",
         "drwxr-xr-x 2 u g 4096 Jan  5 12:34 .\r\n"
         "drwxr-xr-x 2 u g 4096 Jan  5 12:34 sub\r\n"
         "-rw-r--r-- 1 u g 10 Jan  5 12:34 ok.html\r\n"
         "-rw-r--r-- 1 u g 11 Jan  5  2019 old.txt\r\n"
         "-rw-r--r-- 1 u g 12 Jan  5 12:34 ..\\evil\r\n"
         "-rw-r--r-- 1 u g 13 Jan  5 12:34 ../../etc/passwd\r\n"
         "lrwxrwxrwx 1 u g 1 Jan  5 12:34 loop -> .\r\n");
    list("/home/site/sub", "-rw-r--r-- 1 u g 3 Jan  5 12:34 deep.css\r\n");
    ASSERT_TRUE(server.Start()) << server.Failure();
    TFtpTransferConnection connection(Endpoint());
    const TTransferResult connected = ConnectAndWait(connection);
    ASSERT_TRUE(connected.Ok()) << connected.text;
    TFileTree tree;
    std::optional<TTransferResult> done;
    TRemoteTreeWalker walker(connection);
    walker.Walk("site", tree, false, [&done](const TTransferResult& result) { done = result; });
    AwaitResult(done);
    ASSERT_TRUE(done->Ok()) << done->text;

    std::vector<std::string> paths;
    for (const auto& [path, entry] : tree.entries) paths.push_back(path);
    EXPECT_EQ(paths, (std::vector<std::string>{"ok.html", "old.txt", "sub", "sub/deep.css"}));
    EXPECT_EQ(tree.skipped.size(), 3u);
    EXPECT_EQ(tree.entries["old.txt"].modifiedUtc, 1546646400) << "2019-01-05 00:00 UTC";
    EXPECT_EQ(tree.entries["old.txt"].timePrecision, 24 * 60 * 60);
    EXPECT_EQ(tree.entries["ok.html"].timePrecision, 60);
    EXPECT_EQ(tree.entries["ok.html"].size, 10);
}

// Without MLST a file's facts come from SIZE and MDTM: the time is what
// tells an edit on the server that kept the size.
TEST_F(QueueScript, AFilesFactsWithoutMlstComeFromSizeAndMdtm) {
    LogIn().Reply("TYPE I", "200 binary").Reply("SIZE /home/a.html", "213 12");
    server.Reply("MDTM /home/a.html", "213 20260102030405");
    ASSERT_TRUE(server.Start()) << server.Failure();
    TFtpTransferConnection connection(Endpoint());
    const TTransferResult connected = ConnectAndWait(connection);
    ASSERT_TRUE(connected.Ok()) << connected.text;
    std::optional<TTransferResult> done;
    std::optional<TRemoteEntry> facts;
    connection.Stat("a.html", [&](const TTransferResult& result, std::optional<TRemoteEntry> entry) {
        facts = std::move(entry);
        done = result;
    });
    AwaitResult(done);
    ASSERT_TRUE(done->Ok()) << done->text;
    ASSERT_TRUE(facts.has_value());
    EXPECT_EQ(facts->size, 12);
    EXPECT_EQ(facts->modifiedUtc, 1767323045) << "2026-01-02 03:04:05 UTC";
}
