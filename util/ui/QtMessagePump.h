#pragma once
// Joins our message loop to Qt's event loop in the windowed program.
//
// Qt's loop is the outer loop: a socket notifier on the loop's poll
// descriptor (readable whenever posted messages or socket events wait)
// dispatches our messages from inside Qt, also while a modal dialog runs its
// own nested loop. In the other direction, our ProcessMessages() also
// processes Qt's pending events and our WaitMessage(ms) blocks inside Qt, so
// an FTP operation that waits keeps the windows painting and responding.
//
// Create one instance after the QApplication and keep it for the whole run;
// destroying it detaches the loops again.

#include <QObject>

class QSocketNotifier;

class QtMessagePump : public QObject {
public:
    QtMessagePump();
    ~QtMessagePump() override;
    QtMessagePump(const QtMessagePump&) = delete;
    QtMessagePump& operator=(const QtMessagePump&) = delete;

private:
    void NotifierActivated();
    void PumpQt();
    void WaitInQt(int milliseconds);

    QSocketNotifier* notifier_;
    // Qt event-loop level of the innermost WaitInQt, -1 when none waits. At
    // that level the notifier only ends the wait and leaves dispatching to
    // the waiting loop; a modal dialog opened meanwhile runs one level deeper
    // and is served as usual.
    int waitLoopLevel_ = -1;
};
