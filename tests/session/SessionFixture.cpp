#include "tests/session/SessionFixture.h"

#include <QTimer>

#include "session/RemotePane.h"
#include "tests/support/QtTestSupport.h"

SessionFixture::SessionFixture()
    : log(new TLogView(&window)),
      dirs(new QComboBox(&window)),
      files(new TRemoteListView(&window)),
      progress(new QProgressBar(&window)),
      timePanel(new QLabel(&window)),
      connectAction(new QAction(&window)),
      refreshAction(new QAction(&window)),
      message(new TfrmMessage(&window)) {
    dirs->setEditable(true);
    for (QLabel*& lamp : lamps) lamp = new QLabel(&window);
    TSessionWidgets& w = session.W;
    w.mainWindow = &window;
    w.pnlServer = &window;
    w.mmoFTPLog = log;
    w.cbServerDir = dirs;
    w.lvServerFiles = files;
    w.pbTransferStatus = progress;
    w.lblConnectionTime = timePanel;
    w.imgConnectedOn = lamps[0];
    w.imgConnectedOff = lamps[1];
    w.imgDisconnectedOn = lamps[2];
    w.imgDisconnectedOff = lamps[3];
    w.tb97Connect = connectAction;
    w.tb97Refresh = refreshAction;
    w.frmMessage = message;
    session.DebugLog = true;
    session.FTP.Timeout = 10;
    session.SetConnectedState(false);
}

SessionFixture::~SessionFixture() {
    session.W = TSessionWidgets{};
    delete message;
}

std::vector<std::string> SessionFixture::Log() const {
    std::vector<std::string> lines;
    for (int i = 0; i < log->LineCount(); ++i) lines.push_back(log->LineText(i));
    return lines;
}

bool SessionFixture::LogHas(const std::string& line) const { return LogCount(line) > 0; }

int SessionFixture::LogCount(const std::string& line) const {
    int count = 0;
    for (const std::string& l : Log()) count += l == line ? 1 : 0;
    return count;
}

// A timer looks for the message window every few milliseconds and closes it,
// keeping its text; it stops with the fixture.
void SessionFixture::RecordMessages() {
    auto* timer = new QTimer(&window);
    QObject::connect(timer, &QTimer::timeout, &window, [this] {
        if (message->isVisible()) {
            messages.push_back(message->lblDesc->text().toStdString());
            statusAtMessages.push_back(timePanel->text().toStdString());
            message->btnOkClick();
        }
    });
    timer->start(5);
}

TFTPServer SessionFixture::Profile(int port, const std::string& user, const std::string& password) const {
    TFTPServer profile;
    profile.Name = "Test server";
    profile.Hostname = "127.0.0.1";
    profile.Port = std::to_string(port);
    profile.Username = user;
    profile.Password = password;
    return profile;
}

std::vector<std::string> SessionFixture::QueueKeys() const {
    std::vector<std::string> keys;
    for (const auto& entry : session.CommandQueue) keys.push_back(entry.key);
    return keys;
}

void SessionFixture::ShowFileList() {
    window.resize(600, 400);
    files->setGeometry(0, 30, 600, 370);
    window.show();
}

void SessionFixture::ConnectPassive(int port, const std::string& user, const std::string& password, const std::string& startDir) {
    TFTPServer profile = Profile(port, user, password);
    profile.StartDir = startDir;
    profile.PASV = TPasvMode::Yes;
    session.ConnectToServer(&profile);
}

int SessionFixture::RowNamed(const std::string& name) const {
    for (int row = 0; row < files->Count(); ++row)
        if (files->Caption(row) == name) return row;
    return -1;
}

void SessionFixture::Select(std::initializer_list<const char*> names) {
    for (const char* name : names) files->SelectRow(RowNamed(name), true);
}

void SessionFixture::AwaitQueue(const TRemotePane& pane) {
    EXPECT_TRUE(qttest::WaitUntil([&] { return !pane.QueueRunning(); }, std::chrono::seconds(30))) << "the queue never ended";
}
