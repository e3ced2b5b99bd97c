#pragma once
// The connecting window: a modeless, top-level window (not owned by the main
// window) that follows one connection attempt and lets the user cancel it.
// It knows nothing of the engine; the main window feeds it and reacts to it.
//
// Main-window use:
//   connectWindow = new TfrmServerConnect;                 // deletes itself when closed
//   connectWindow->SetServer(profile);
//   connectWindow->OnAbort = [this](auto*) { (void)FTP.AbortSessionWait(); (void)FTP.Quit(); };
//   connectWindow->OnDestroy = [this](auto*) { connectWindow = nullptr; };
//   connectWindow->show();
// From the engine's events, while connectWindow is not null:
//   OnDisplay     -> connectWindow->AddDisplayText(msg)   (the "> "/"< "/"! " prefix is dropped)
//   OnStateChange -> connectWindow->AddStateText(state text)
// Once connected (or after a failed attempt) the main window deletes it with
// `delete connectWindow`: OnAbort is not raised then, OnDestroy is.
//
// Cancelling ("&Cancel", Escape or the close box) stops the animation, raises
// OnDestroy first (so the main window stops feeding the window and cannot
// delete it while the abort pumps messages), then OnAbort, then the window
// deletes itself.

#include <QColor>
#include <QCoreApplication>
#include <QDialog>
#include <array>
#include <functional>
#include <string>

class QLabel;
class QProgressBar;
class QPushButton;
class TFTPServer;

class TfrmServerConnect : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmServerConnect)

public:
    TfrmServerConnect();
    ~TfrmServerConnect() override;

    // Colour of state texts: red 11, green 0, blue 0.
    static QColor StateColour() { return QColor(11, 0, 0); }

    // Server name and "<host> on port <port>".
    void SetServer(const TFTPServer& server);
    // Scrolls the three progress lines up by one and shows `text` (password
    // masked) in `colour` on the bottom line.
    void AddProgressLine(const std::string& text, const QColor& colour);
    // An engine display text: drops its two-character prefix and shows the
    // rest in the window-text colour.
    void AddDisplayText(const std::string& display);
    void AddStateText(const std::string& text);

    bool AnimationPlaying() const;

    std::function<void(TfrmServerConnect* Sender)> OnAbort;
    std::function<void(TfrmServerConnect* Sender)> OnDestroy;

    void FormCreate();
    void btnCancelClick() { close(); }

    QProgressBar* aniConnect;
    QLabel* lblConnectingTo;
    QLabel* lblServerName;
    QLabel* lblAddress;
    QWidget* pnlProgress;
    std::array<QLabel*, 3> lblProgress;
    QPushButton* btnCancel;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Escape and the dialog's own rejection close the window the same way.
    void reject() override { close(); }

private:
    QLabel* AddCentredLabel(int top, int height);
    void FormClose();
    void FormDestroy();
    void StopAnimation();

    bool closing_ = false;
    bool destroyRaised_ = false;
};
