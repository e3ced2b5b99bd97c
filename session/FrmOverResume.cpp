#include "session/FrmOverResume.h"

#include <QCheckBox>
#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "util/ui/UiUtils.h"

TfrmOverResume::TfrmOverResume(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
    // No title-bar buttons: one of the answers must be chosen.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    lblDesc = new QLabel(this);
    lblDesc->setTextFormat(Qt::PlainText);
    lblDesc->setWordWrap(true);
    lblDesc->setAlignment(Qt::AlignCenter);
    lblFacts = new QLabel(this);
    lblFacts->setTextFormat(Qt::PlainText);
    lblFacts->setAlignment(Qt::AlignCenter);
    lblFacts->setVisible(false);
    btnOverwrite = new QPushButton(tr("&Overwrite"), this);
    btnOverwrite->setDefault(true);
    btnOverwriteNewer = new QPushButton(tr("Overwrite if &newer"), this);
    btnOverwriteSize = new QPushButton(tr("Overwrite if si&ze differs"), this);
    btnResume = new QPushButton(tr("&Resume"), this);
    btnRename = new QPushButton(tr("Re&name"), this);
    btnRename->setToolTip(tr("Send the file under a free name, such as \"name (1).ext\"."));
    btnCancel = new QPushButton(tr("&Skip"), this);
    cbForRest = new QCheckBox(tr("&Do this for the rest of this transfer"), this);
    const std::pair<QPushButton*, TFileExistsAnswer> answers[] = {
        {btnOverwrite, TFileExistsAnswer::Overwrite},
        {btnOverwriteNewer, TFileExistsAnswer::OverwriteIfNewer},
        {btnOverwriteSize, TFileExistsAnswer::OverwriteIfSizeDiffers},
        {btnResume, TFileExistsAnswer::Resume},
        {btnRename, TFileExistsAnswer::Rename},
    };
    auto* buttons = new QGridLayout;
    int column = 0;
    for (const auto& [button, choice] : answers) {
        const TFileExistsAnswer answer = choice;  // a lambda may not capture a structured binding (clang 14)
        connect(button, &QPushButton::clicked, this, [this, answer] { Answer(answer); });
        buttons->addWidget(button, column / 3, column % 3);
        ++column;
    }
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOverResume::reject);
    buttons->addWidget(btnCancel, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblDesc, 1);
    layout->addWidget(lblFacts);
    layout->addLayout(buttons);
    layout->addWidget(cbForRest);
    setMinimumWidth(420);
}

void TfrmOverResume::Answer(TFileExistsAnswer answer) {
    answer_ = answer;
    forRest_ = cbForRest->isChecked();
    accept();
}

void TfrmOverResume::reject() {
    answer_ = TFileExistsAnswer::Skip;
    forRest_ = cbForRest->isChecked();
    QDialog::reject();
}

TfrmOverResume::Reply TfrmOverResume::Ask(QWidget* owner, const std::string& path, bool canResume, const std::string& facts) {
    TfrmOverResume dialog(owner);
    dialog.btnResume->setEnabled(canResume);
    if (!canResume) dialog.btnResume->setToolTip(tr("Text transfers cannot resume: send the file again."));
    dialog.lblDesc->setText(tr("\"%1\"\nalready exists. Overwrite ?").arg(ToQt(path)));
    dialog.lblFacts->setText(ToQt(facts));
    dialog.lblFacts->setVisible(!facts.empty());
    dialog.adjustSize();
    CenterOver(&dialog, owner);
    dialog.exec();
    return dialog.Result();
}

std::string TfrmOverResume::FactsLine(const std::string& side, const TFileFacts& facts) {
    std::string line = side + ": " + std::to_string(facts.size) + " bytes";
    if (facts.modifiedUtc)
        line += ", " +
                FromQt(QDateTime::fromSecsSinceEpoch(*facts.modifiedUtc, Qt::UTC).toString(QStringLiteral("yyyy-MM-dd HH:mm"))) +
                " UTC";
    return line;
}
