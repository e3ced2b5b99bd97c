#include "util/ui/QtMessagePump.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QThread>
#include <QTimer>

#include "platform/MessageLoop.h"

QtMessagePump::QtMessagePump()
    : notifier_(new QSocketNotifier(platform::MessageLoop::Instance().PollDescriptor(), QSocketNotifier::Read, this)) {
    connect(notifier_, &QSocketNotifier::activated, this, [this] { NotifierActivated(); });
    platform::MessageLoop::Instance().SetExternalLoop([this] { PumpQt(); }, [this](int ms) { WaitInQt(ms); });
}

QtMessagePump::~QtMessagePump() { platform::MessageLoop::Instance().SetExternalLoop({}, {}); }

void QtMessagePump::NotifierActivated() {
    if (QThread::currentThread()->loopLevel() == waitLoopLevel_) {
        // The waiting loop dispatches as soon as its wait returns, which it
        // does after this round of Qt events; off until then so that the
        // still-readable descriptor cannot make Qt spin.
        notifier_->setEnabled(false);
        return;
    }
    // The descriptor stays readable until our loop has looked at it, and a
    // handler may process Qt events; switching the notifier off keeps this
    // slot from running inside itself.
    notifier_->setEnabled(false);
    platform::ProcessMessages();
    notifier_->setEnabled(true);
}

void QtMessagePump::PumpQt() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtMessagePump::WaitInQt(int milliseconds) {
    if (milliseconds == 0) {
        PumpQt();
        return;
    }
    // A handler that waits may itself run inside NotifierActivated, where the
    // notifier is off: switch it on so that socket events and posted
    // messages still wake the wait at once.
    const bool wasEnabled = notifier_->isEnabled();
    notifier_->setEnabled(true);
    const int outerWaitLevel = waitLoopLevel_;
    waitLoopLevel_ = QThread::currentThread()->loopLevel();
    QTimer limit;
    limit.setSingleShot(true);
    if (milliseconds > 0) limit.start(milliseconds);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    waitLoopLevel_ = outerWaitLevel;
    notifier_->setEnabled(wasEnabled);
}
