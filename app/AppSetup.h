#pragma once
// Start-up of the windowed program that does not depend on the main window:
// names, title, and the join of our message loop with Qt's.

#include <memory>

class QApplication;
class QtMessagePump;

// Names the application (settings and data folders follow them), sets the
// title, raises the loop's terminating flag when Qt is about to quit, and
// returns the pump that joins the two loops; keep it for the whole run.
std::unique_ptr<QtMessagePump> SetUpApplication(QApplication& app);
