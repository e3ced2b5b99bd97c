#include "platform/MessageWindow.h"

#include "platform/MessageLoop.h"

namespace platform {

MessageWindow::MessageWindow(MessageTarget* target) : handle_(MessageLoop::Instance().Register(target)) {}

MessageWindow::~MessageWindow() { MessageLoop::Instance().Unregister(handle_); }

bool MessageWindow::Post(std::uint32_t message, WParam wParam, LParam lParam) const {
    return PostMessage(handle_, message, wParam, lParam);
}

}  // namespace platform
