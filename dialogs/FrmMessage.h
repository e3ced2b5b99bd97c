#pragma once
// The window that shows the text of a failed FTP command. One instance lives
// for the whole run, as a top-level window of its own (not owned by the main
// window); before each use the caller runs FormCreate again, sets the text
// and shows it modally.

#include <QCoreApplication>
#include <QDialog>

class QLabel;
class QPushButton;

class TfrmMessage : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmMessage)

public:
    // `mainWindow` is the window to centre over; it does not own this one.
    explicit TfrmMessage(QWidget* mainWindow);

    // Centres over the main window, empties the text and takes the
    // application title as caption.
    void FormCreate();
    void btnOkClick();

    QLabel* lblDesc;
    QPushButton* btnOk;

private:
    QWidget* mainWindow_;
};
