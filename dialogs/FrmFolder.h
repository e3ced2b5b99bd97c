#pragma once
// The one-field name dialog used to create, rename and delete folders and
// files, locally and on the server. Callers set the caption and texts, centre
// it over the main window, show it modally and read ebx97NewDir after OK.

#include <QCoreApplication>
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TfrmFolder : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmFolder)

public:
    explicit TfrmFolder(QWidget* parent = nullptr);

    // In confirmation mode (deletions) "Create" stays enabled although the
    // name field is hidden and empty.
    bool ConfirmOnly() const { return confirmOnly_; }
    void SetConfirmOnly(bool value);

    QLabel* lblCurrentFolder;
    QLineEdit* lblCurDir;
    QLabel* lblNewFolder;
    QLineEdit* ebx97NewDir;
    QPushButton* btnCreate;
    QPushButton* btnCancel;

    void ebx97NewDirChange();

protected:
    // Discards the characters a file name cannot hold when they are typed;
    // pasted text passes unfiltered.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();

    bool confirmOnly_ = false;
};
