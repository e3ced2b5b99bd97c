#include "session/FrmSynchronise.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "util/ui/UiUtils.h"

namespace {

QGroupBox* Choices(const QString& title, QRadioButton* first, QRadioButton* second, QWidget* parent) {
    auto* box = new QGroupBox(title, parent);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(first);
    layout->addWidget(second);
    auto* group = new QButtonGroup(box);
    group->addButton(first);
    group->addButton(second);
    first->setChecked(true);
    return box;
}

}  // namespace

TfrmSynchronise::TfrmSynchronise(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Synchronise folders"));
    lblFolders = new QLabel(this);
    lblFolders->setTextFormat(Qt::PlainText);
    lblFolders->setWordWrap(true);
    rbUpload = new QRadioButton(tr("&Upload: make the server's folder like the local one"), this);
    rbDownload = new QRadioButton(tr("&Download: make the local folder like the server's"), this);
    cbDeleteExtra = new QCheckBox(tr("D&elete what the other side no longer has"), this);
    rbSizeAndTime = new QRadioButton(tr("Si&ze and time"), this);
    rbSizeOnly = new QRadioButton(tr("Size &only"), this);
    edtExclude = new QLineEdit(this);
    edtExclude->setPlaceholderText(QStringLiteral("*.bak; .git"));
    auto* excludeLabel = new QLabel(tr("&Leave out names like (separated by ;):"), this);
    excludeLabel->setBuddy(edtExclude);
    auto* buttons = new QDialogButtonBox(this);
    btnCompare = buttons->addButton(tr("&Compare"), QDialogButtonBox::AcceptRole);
    btnCompare->setDefault(true);
    btnCancel = buttons->addButton(tr("Cancel"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblFolders);
    layout->addWidget(Choices(tr("Direction"), rbUpload, rbDownload, this));
    layout->addWidget(cbDeleteExtra);
    layout->addWidget(Choices(tr("Files differ by"), rbSizeAndTime, rbSizeOnly, this));
    layout->addWidget(excludeLabel);
    layout->addWidget(edtExclude);
    layout->addWidget(buttons);
    setMinimumWidth(460);
}

void TfrmSynchronise::SetFolders(const std::string& localFolder, const std::string& remoteFolder) {
    lblFolders->setText(tr("Local folder: %1\nServer folder: %2").arg(ToQt(localFolder), ToQt(remoteFolder)));
}

TSyncOptions TfrmSynchronise::Options() const {
    TSyncOptions options;
    options.upload = rbUpload->isChecked();
    options.deleteExtra = cbDeleteExtra->isChecked();
    options.compare = rbSizeOnly->isChecked() ? TSyncCompare::SizeOnly : TSyncCompare::SizeAndTime;
    return options;
}

std::vector<std::string> TfrmSynchronise::ExcludePatterns() const {
    std::vector<std::string> patterns;
    for (const QString& part : edtExclude->text().split(QLatin1Char(';'))) {
        const QString pattern = part.trimmed();
        if (!pattern.isEmpty()) patterns.push_back(FromQt(pattern));
    }
    return patterns;
}
