#pragma once
// A session controller with the widgets it drives, the Qt loop joined to
// ours, and helpers that answer the message window and read the log.

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <memory>
#include <string>
#include <vector>

#include "dialogs/FrmMessage.h"
#include "session/LogView.h"
#include "session/RemoteListView.h"
#include "session/SessionController.h"
#include "util/FTPServerObj.h"
#include "util/ui/QtMessagePump.h"

class TRemotePane;

class SessionFixture : public ::testing::Test {
protected:
    SessionFixture();
    ~SessionFixture() override;

    // Every line of the log pane, in order.
    std::vector<std::string> Log() const;
    bool LogHas(const std::string& line) const;
    int LogCount(const std::string& line) const;
    // Answers every message window shown from now on and records its text
    // (and the status bar's connection text beside it).
    void RecordMessages();
    TFTPServer Profile(int port, const std::string& user, const std::string& password) const;
    std::vector<std::string> QueueKeys() const;
    // Shows the window with the remote list filling it.
    void ShowFileList();
    // Connects in passive mode to port with user and password, starting in
    // startDir (none when empty).
    void ConnectPassive(int port, const std::string& user, const std::string& password, const std::string& startDir = "");
    // The list's row named `name`, -1 when there is none; selecting adds to
    // the selection.
    int RowNamed(const std::string& name) const;
    void Select(std::initializer_list<const char*> names);
    // Waits until the pane's transfer queue has ended its run.
    static void AwaitQueue(const TRemotePane& pane);

    QtMessagePump pump;
    QWidget window;
    TLogView* log;
    QComboBox* dirs;
    TRemoteListView* files;
    QProgressBar* progress;
    QLabel* timePanel;
    QLabel* lamps[4];  // connected on/off, disconnected on/off
    QAction* connectAction;
    QAction* refreshAction;
    TfrmMessage* message;
    TSessionController session;
    std::vector<std::string> messages;
    // The connection-time panel as each recorded message was shown.
    std::vector<std::string> statusAtMessages;
};
