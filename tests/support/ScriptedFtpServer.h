#pragma once
// A scripted FTP server for protocol edge cases that real servers do not
// produce. It runs on its own thread with plain POSIX sockets on 127.0.0.1,
// port 0, replays the script step by step and records every line the client
// sent. Each wait is bounded, so a wrong client fails the test instead of
// hanging it. Independent of the code under test.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/ScriptedTls.h"

class ScriptedFtpServer {
public:
    ScriptedFtpServer();
    ~ScriptedFtpServer();
    ScriptedFtpServer(const ScriptedFtpServer&) = delete;
    ScriptedFtpServer& operator=(const ScriptedFtpServer&) = delete;

    // Script building; steps run in order once a client connects.
    ScriptedFtpServer& Send(std::string bytes);
    // Waits for the next client line; it must equal `line`, or start with
    // what precedes a final '*'. Unless some step expects FEAT, the server
    // answers FEAT "500 Unknown command." by itself and records nothing, as
    // a server without extensions does.
    ScriptedFtpServer& Expect(std::string line);
    // Expect(line) then Send(reply + CR LF).
    ScriptedFtpServer& Reply(std::string line, std::string reply);
    ScriptedFtpServer& Pause(int milliseconds);
    ScriptedFtpServer& Close();
    // Closes the control connection (if still open) and waits for the
    // client's next one: a script may span several sessions of one engine.
    ScriptedFtpServer& AcceptAgain();
    // Reads (and records) whatever arrives until the client closes or the time
    // passes; used for a server that never answers.
    ScriptedFtpServer& Silence(int milliseconds);
    // Opens a passive data listener and sends its 227 reply.
    ScriptedFtpServer& PasvReply();
    ScriptedFtpServer& DataAccept();
    ScriptedFtpServer& DataSend(std::string bytes);
    ScriptedFtpServer& DataClose();
    // Closes the data connection with a reset instead of a graceful close.
    ScriptedFtpServer& DataReset();
    // Reads the data connection until the client closes it.
    ScriptedFtpServer& DataReceiveAll();
    // The server's TLS handshake on the control connection (after a 234 the
    // script sent) and on the data connection; what follows on that
    // connection is encrypted. DataClose then sends close_notify first.
    ScriptedFtpServer& StartTls();
    ScriptedFtpServer& DataTls();
    // Closes the data connection without close_notify, as a cut would.
    ScriptedFtpServer& DataCut();

    // Starts listening and running the script; false with Failure() set.
    bool Start();
    int Port() const { return port_; }
    // Waits (bounded) until the script ran to its end or failed.
    bool WaitDone(int milliseconds);
    void Stop();

    std::vector<std::string> Lines();
    std::string Failure();
    std::string DataReceived();

private:
    enum class Kind {
        Send,
        Expect,
        Pause,
        Close,
        AcceptAgain,
        Silence,
        PasvReply,
        DataAccept,
        DataSend,
        DataClose,
        DataReset,
        DataReceiveAll,
        StartTls,
        DataTls,
        DataCut
    };
    struct Step {
        Kind kind;
        std::string text;
        int milliseconds;
    };

    void Run();
    bool RunStep(const Step& step);
    bool ReadLine(std::string& line, int milliseconds);
    void PauseAnsweringFeat(int milliseconds);
    bool SendAll(int fd, const std::string& bytes);
    bool SendOn(int fd, ScriptedTls& tls, const std::string& bytes);
    bool RunTlsStep(Kind kind);
    void Fail(const std::string& why);
    void Record(const std::string& line);
    void CloseFd(int& fd);

    std::vector<Step> steps_;
    int listenFd_ = -1;
    int controlFd_ = -1;
    int dataListenFd_ = -1;
    int dataFd_ = -1;
    int port_ = 0;
    std::string pending_;
    std::thread thread_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> done_{false};
    std::mutex mutex_;
    std::vector<std::string> lines_;
    std::string failure_;
    std::string data_;
    bool featScripted_ = false;
    ScriptedTls controlTls_;
    ScriptedTls dataTls_;
};
