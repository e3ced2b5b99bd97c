#pragma once
// The permissions dialog: the nine Unix permission bits of one remote entry
// as check boxes. The remote pane fills it with LoadPermissions, shows it
// modally and, after OK, turns the boxes into an octal mode.

#include <QCoreApplication>
#include <QDialog>
#include <string>

class QCheckBox;
class QLabel;
class QPushButton;

class TfrmChMod : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmChMod)

public:
    explicit TfrmChMod(QWidget* parent = nullptr);

    QLabel* lblFilename;
    QCheckBox* cbUserR;
    QCheckBox* cbUserW;
    QCheckBox* cbUserX;
    QCheckBox* cbGroupR;
    QCheckBox* cbGroupW;
    QCheckBox* cbGroupX;
    QCheckBox* cbWorldR;
    QCheckBox* cbWorldW;
    QCheckBox* cbWorldX;
    QPushButton* btnOk;      // "&Cool"
    QPushButton* btnCancel;  // "&No Way"

    // The nine boxes, user read first, world execute last.
    void Flags(bool (&flags)[9]) const;
};

// Shows the entry's name without any leading path (up to the last "\" or
// ":") and checks the boxes a permission text such as "-rwxr-x---" sets;
// the letters count in either case, anything else leaves a box unchecked.
void LoadPermissions(TfrmChMod& dialog, const std::string& name, const std::string& permissions);

// "SITE CHMOD" mode of nine flags: one decimal digit per class without
// leading zeros ("644", "755", "44", "0").
std::string ChmodMode(const bool (&flags)[9]);
