#pragma once
// The real main window of a window benchmark: offscreen, over settings of
// its own (never the user's), with one server profile, a passive session to
// 127.0.0.1, written before the window reads its profiles.

#include <QApplication>
#include <memory>
#include <string>

#include "app/AppSetup.h"
#include "app/FrmMain.h"
#include "util/ui/QtMessagePump.h"

void WriteBenchProfile(const std::string& name, int port, const std::string& user, const std::string& password);

// The members are made in this order, each needing the ones before it.
struct TBenchWindow {
    TBenchWindow(int& argc, char** argv, const std::string& profile, int port, const std::string& user,
                 const std::string& password);

    struct Offscreen {
        Offscreen();
    } offscreen;
    QApplication app;
    std::unique_ptr<QtMessagePump> pump;
    bool profileWritten;
    TfrmMain window;

    // Connects through the profile; false (said on standard error) when
    // the session did not come up.
    bool Connect();
    // Selects the server's entry of that name, alone.
    void SelectServerEntry(const std::string& name);
    // Until the window's queue has nothing left to run.
    void AwaitQueue();
};
