// Construction of the options dialog's pages and controls.
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "dialogs/CaptionLabel.h"
#include "dialogs/FrmOptions.h"
#include "util/Keyring.h"
#include "util/ui/SpinEdit.h"

namespace {

QHBoxLayout* FileRow(QLineEdit* edit, QPushButton* browse) {
    auto* row = new QHBoxLayout;
    row->setContentsMargins(20, 0, 0, 0);
    row->addWidget(edit);
    row->addWidget(browse);
    return row;
}

}  // namespace

TfrmOptions::TfrmOptions(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Options"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(350, 330);

    pgcOptions = new QTabWidget(this);
    pgcOptions->addTab(BuildGeneralPage(), tr("General"));
    pgcOptions->addTab(BuildTransferPage(), tr("Transferring files"));
    pgcOptions->addTab(BuildFtpPage(), QStringLiteral("FTP"));

    btnOk = new QPushButton(tr("&Ok"), this);
    btnOk->setDefault(true);
    btnCancel = new QPushButton(tr("&Cancel"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pgcOptions);
    layout->addLayout(buttons);
    ConnectHandlers();

    pgcOptions->setCurrentIndex(0);
    lbFTPTextExt->clear();
    LoadOptions();
}

QWidget* TfrmOptions::BuildGeneralPage() {
    auto* page = new QWidget;
    // Its caption is wider than the dialog: it wraps beside the box.
    cbShowWebHosting = new QCheckBox(page);
    auto* hostingCaption =
        new TCaptionLabel(tr("Show Web Hosting and Secure button on Kestra FTP toolbar."), cbShowWebHosting, page);
    cbPlaySoundDownload = new QCheckBox(tr("Play a sound when download is finished:"), page);
    ebxSoundDownload = new QLineEdit(page);
    btnOpenDownWave = new QPushButton(QStringLiteral("..."), page);
    cbPlaySoundUpload = new QCheckBox(tr("Play a sound when upload is finished:"), page);
    ebxSoundUpload = new QLineEdit(page);
    btnOpenUpWave = new QPushButton(QStringLiteral("..."), page);
    for (QPushButton* browse : {btnOpenDownWave, btnOpenUpWave}) browse->setFixedWidth(28);
    lblEditor = new QLabel(tr("Editor for server files (empty: the desktop's choice):"), page);
    lblEditor->setWordWrap(true);
    ebxEditor = new QLineEdit(page);
    lblEditor->setBuddy(ebxEditor);

    auto* hosting = new QHBoxLayout;
    hosting->addWidget(cbShowWebHosting, 0, Qt::AlignTop);
    hosting->addWidget(hostingCaption, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(hosting);
    layout->addWidget(cbPlaySoundDownload);
    layout->addLayout(FileRow(ebxSoundDownload, btnOpenDownWave));
    layout->addWidget(cbPlaySoundUpload);
    layout->addLayout(FileRow(ebxSoundUpload, btnOpenUpWave));
    layout->addWidget(lblEditor);
    layout->addWidget(ebxEditor);
    layout->addStretch();
    return page;
}

QWidget* TfrmOptions::BuildTransferPage() {
    auto* page = new QWidget;
    lblFTPTextExt = new QLabel(tr("Text Files Types:"), page);
    lbFTPTextExt = new QListWidget(page);
    btnAddFTPText = new QPushButton(tr("Add"), page);
    btnRmvFTPText = new QPushButton(tr("Remove"), page);
    btnRmvFTPText->setEnabled(false);
    lblFTPTextHelp = new QLabel(tr("Extensions that appear in the \"Text File Types\" list will be transferred as ASCII (Text) "
                                   "files, while all other file types will be transferred as BINARY files. Uploading a binary "
                                   "file such as an AVI file as text will lead to a bad transfer."),
                                page);
    lblFTPTextHelp->setWordWrap(true);

    // The explanation takes the page's whole width below the list; beside
    // it, in a column of its own, it could not be read in full.
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(btnAddFTPText);
    buttons->addWidget(btnRmvFTPText);
    buttons->addStretch();
    auto* list = new QGridLayout;
    list->addWidget(lblFTPTextExt, 0, 0);
    list->addWidget(lbFTPTextExt, 1, 0);
    list->addLayout(buttons, 1, 1);
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(list, 1);
    layout->addWidget(lblFTPTextHelp);
    return page;
}

QWidget* TfrmOptions::BuildFtpPage() {
    auto* page = new QWidget;
    lblTimeOut = new QLabel(tr("Time-out (seconds):"), page);
    sedtTimeOut = new TSpinEdit(page);
    sedtTimeOut->setRange(MinTimeOut, MaxTimeOut);
    lblTimeOut->setBuddy(sedtTimeOut);
    cbDirAutoRefresh = new QCheckBox(tr("Auto-refresh directories on upload/download"), page);
    cbPasswordsInKeyring = new QCheckBox(tr("Keep server passwords in the desktop keyring"), page);
    cbPasswordsInKeyring->setEnabled(TKeyring::Built());
    cbKeepFileTimes = new QCheckBox(tr("Keep file times"), page);
    lblKeepAlive = new QLabel(tr("Keep-alive interval (seconds, 0 = off):"), page);
    sedtKeepAlive = new TSpinEdit(page);
    sedtKeepAlive->setRange(0, MaxKeepAlive);
    lblKeepAlive->setBuddy(sedtKeepAlive);
    lblFileExists = new QLabel(tr("When a file exists:"), page);
    cbxFileExists = new QComboBox(page);
    cbxFileExists->addItems({tr("Ask"), tr("Overwrite"), tr("Overwrite if newer"), tr("Overwrite if the size differs"),
                             tr("Resume"), tr("Rename"), tr("Skip")});
    lblFileExists->setBuddy(cbxFileExists);
    lblTransfers = new QLabel(tr("Simultaneous transfers:"), page);
    sedtTransfers = new TSpinEdit(page);
    sedtTransfers->setRange(1, MaxTransfers);
    lblTransfers->setBuddy(sedtTransfers);

    auto* row = new QHBoxLayout;
    row->addWidget(lblTimeOut);
    row->addWidget(sedtTimeOut);
    row->addStretch();
    auto* keepAlive = new QHBoxLayout;
    keepAlive->addWidget(lblKeepAlive);
    keepAlive->addWidget(sedtKeepAlive);
    keepAlive->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(row);
    layout->addLayout(keepAlive);
    layout->addWidget(cbDirAutoRefresh);
    layout->addWidget(cbKeepFileTimes);
    layout->addWidget(cbPasswordsInKeyring);
    auto* exists = new QHBoxLayout;
    exists->addWidget(lblFileExists);
    exists->addWidget(cbxFileExists, 1);
    layout->addLayout(exists);
    auto* transfers = new QHBoxLayout;
    transfers->addWidget(lblTransfers);
    transfers->addWidget(sedtTransfers);
    transfers->addStretch();
    layout->addLayout(transfers);
    layout->addStretch();
    return page;
}
