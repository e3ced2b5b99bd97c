#pragma once
// The question asked before a transfer replaces an existing file, in either
// direction: overwrite it (always, if the source is newer, or if the sizes
// differ), resume from its size, send under a free name, or skip the file;
// optionally the same for the rest of the transfer.

#include <QCoreApplication>
#include <QDialog>
#include <string>

#include "transfer/FileExistsRule.h"

class QCheckBox;
class QLabel;
class QPushButton;

class TfrmOverResume : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmOverResume)

public:
    struct Reply {
        TFileExistsAnswer answer = TFileExistsAnswer::Skip;
        // "Do this for the rest of this transfer" was ticked.
        bool forRest = false;
    };

    explicit TfrmOverResume(QWidget* parent = nullptr);

    QLabel* lblDesc;
    // Both files' sizes and times, when known.
    QLabel* lblFacts;
    QPushButton* btnOverwrite;  // default
    QPushButton* btnOverwriteNewer;
    QPushButton* btnOverwriteSize;
    QPushButton* btnResume;
    QPushButton* btnRename;
    QPushButton* btnCancel;  // skips the file; also Escape
    QCheckBox* cbForRest;

    Reply Result() const { return {answer_, forRest_}; }

    // Asks about `path` (the file that would be replaced), centred over
    // `owner`, with `facts` below the question. Without `canResume` (a text
    // transfer, whose sizes are no offsets into each other) Resume is
    // offered disabled.
    static Reply Ask(QWidget* owner, const std::string& path, bool canResume = true, const std::string& facts = {});
    // "Here: 1234 bytes, 2026-12-08 13:00 UTC" (the time when known).
    static std::string FactsLine(const std::string& side, const TFileFacts& facts);

protected:
    void reject() override;

private:
    void Answer(TFileExistsAnswer answer);
    TFileExistsAnswer answer_ = TFileExistsAnswer::Skip;
    bool forRest_ = false;
};
