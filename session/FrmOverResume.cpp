#include "session/FrmOverResume.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "util/ui/UiUtils.h"

TfrmOverResume::TfrmOverResume(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    // No title-bar buttons: one of the three answers must be chosen.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    lblDesc = new QLabel(this);
    lblDesc->setTextFormat(Qt::PlainText);
    lblDesc->setWordWrap(true);
    lblDesc->setAlignment(Qt::AlignCenter);
    btnOverwrite = new QPushButton(tr("&Overwrite"), this);
    btnOverwrite->setDefault(true);
    btnResume = new QPushButton(tr("&Resume"), this);
    btnCancel = new QPushButton(tr("&Cancel"), this);
    connect(btnOverwrite, &QPushButton::clicked, this, [this] {
        answer_ = Overwrite;
        accept();
    });
    connect(btnResume, &QPushButton::clicked, this, [this] {
        answer_ = Resume;
        done(QDialog::Accepted);
    });
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOverResume::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnOverwrite);
    buttons->addWidget(btnResume);
    buttons->addWidget(btnCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblDesc, 1);
    layout->addLayout(buttons);
    setMinimumWidth(360);
}

void TfrmOverResume::reject() {
    answer_ = Cancel;
    QDialog::reject();
}

TfrmOverResume::Answer TfrmOverResume::Ask(QWidget* owner, const std::string& localPath, bool canResume) {
    TfrmOverResume dialog(owner);
    dialog.btnResume->setEnabled(canResume);
    if (!canResume) dialog.btnResume->setToolTip(tr("Text transfers cannot resume: download the file again."));
    dialog.lblDesc->setText(tr("\"%1\"\nalready exists. Overwrite ?").arg(ToQt(localPath)));
    dialog.adjustSize();
    CenterOver(&dialog, owner);
    dialog.exec();
    return dialog.Result();
}
