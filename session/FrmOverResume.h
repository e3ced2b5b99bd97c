#pragma once
// The question asked before a download replaces an existing local file:
// overwrite it, resume from its size, or skip the file.

#include <QCoreApplication>
#include <QDialog>
#include <string>

class QLabel;
class QPushButton;

class TfrmOverResume : public QDialog {
    Q_DECLARE_TR_FUNCTIONS(TfrmOverResume)

public:
    enum Answer { Overwrite, Resume, Cancel };

    explicit TfrmOverResume(QWidget* parent = nullptr);

    QLabel* lblDesc;
    QPushButton* btnOverwrite;  // default
    QPushButton* btnResume;
    QPushButton* btnCancel;  // also Escape

    Answer Result() const { return answer_; }

    // Asks about `localPath`, centred over `owner`. Without `canResume` (a
    // text transfer, whose local size is no offset into the server's bytes)
    // Resume is offered disabled.
    static Answer Ask(QWidget* owner, const std::string& localPath, bool canResume = true);

protected:
    void reject() override;

private:
    Answer answer_ = Cancel;
};
