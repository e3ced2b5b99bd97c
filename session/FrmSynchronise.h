#pragma once
// The choices of a synchronisation of the two panes' current folders:
// which way (the server's folder made like the local one, or the other way
// round), whether what the other side no longer has is deleted (off unless
// ticked), what makes two files differ (size and time, or size only) and
// the names to leave out. Nothing runs from here: OK leads to the plan.

#include <QCoreApplication>
#include <QDialog>
#include <string>
#include <vector>

#include "transfer/SyncPlan.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

class TfrmSynchronise : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmSynchronise)

public:
    explicit TfrmSynchronise(QWidget* parent = nullptr);

    QLabel* lblFolders;
    QRadioButton* rbUpload;  // default
    QRadioButton* rbDownload;
    QCheckBox* cbDeleteExtra;
    QRadioButton* rbSizeAndTime;  // default
    QRadioButton* rbSizeOnly;
    QLineEdit* edtExclude;
    QPushButton* btnCompare;
    QPushButton* btnCancel;

    void SetFolders(const std::string& localFolder, const std::string& remoteFolder);
    // The direction, deletion and comparison chosen; the time tolerance and
    // whether times are kept are the caller's.
    TSyncOptions Options() const;
    // The patterns typed, split at ';' and trimmed; empty ones dropped.
    std::vector<std::string> ExcludePatterns() const;
};
