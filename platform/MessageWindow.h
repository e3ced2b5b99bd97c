#pragma once
// A "message window": the addressable target of posted messages. An object
// that wants messages implements MessageTarget and owns a MessageWindow; the
// window registers with the loop on construction and unregisters on
// destruction, after which messages still queued for it are dropped.

#include "platform/Messages.h"

namespace platform {

class MessageTarget {
public:
    virtual ~MessageTarget() = default;
    // Called on the loop's thread for every message posted to the window.
    virtual LParam HandleMessage(std::uint32_t message, WParam wParam, LParam lParam) = 0;
};

class MessageWindow {
public:
    explicit MessageWindow(MessageTarget* target);
    ~MessageWindow();
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;

    WindowHandle Handle() const { return handle_; }
    // Posts to this window; false only when the loop refused the message.
    bool Post(std::uint32_t message, WParam wParam, LParam lParam) const;

private:
    WindowHandle handle_;
};

}  // namespace platform
