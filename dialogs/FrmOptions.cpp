#include "dialogs/FrmOptions.h"

#include <QCheckBox>
#include <QCollator>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>

#include "util/CommaText.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/SettingsKey.h"
#include "util/ui/SpinEdit.h"
#include "util/ui/UiUtils.h"

void TfrmOptions::ConnectHandlers() {
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    connect(btnAddFTPText, &QPushButton::clicked, this, [this] { btnAddFTPTextClick(); });
    connect(btnRmvFTPText, &QPushButton::clicked, this, [this] { btnRmvFTPTextClick(); });
    connect(btnOpenDownWave, &QPushButton::clicked, this, [this] { btnOpenDownWaveClick(); });
    connect(btnOpenUpWave, &QPushButton::clicked, this, [this] { btnOpenUpWaveClick(); });
    // Covers clicks and keyboard moves alike.
    connect(lbFTPTextExt, &QListWidget::itemSelectionChanged, this, [this] { UpdateRemoveButton(); });
}

void TfrmOptions::LoadOptions() {
    const TSettingsKey key(OptionsKey);
    const std::string blip = ProgramResourceFile("blip.wav");
    cbShowWebHosting->setChecked(key.ReadBool("WebHostingButton", true));
    cbPlaySoundDownload->setChecked(key.ReadBool("PlayDownload", true));
    ebxSoundDownload->setText(ToQt(key.ReadString("DownloadSound", blip)));
    cbPlaySoundUpload->setChecked(key.ReadBool("PlayUpload", true));
    ebxSoundUpload->setText(ToQt(key.ReadString("UploadSound", blip)));
    ebxEditor->setText(ToQt(key.ReadString("EditorCommand", "")));
    FillTextExtensions(key.ReadString("AsciiExt", DefaultAsciiExt));
    sedtTimeOut->setValue(key.ReadInteger("FTPTimeOut", 120));
    cbDirAutoRefresh->setChecked(key.ReadBool("FTPAutoRefresh", true));
    cbKeepFileTimes->setChecked(key.ReadBool("KeepFileTimes", true));
    sedtKeepAlive->setValue(key.ReadInteger("KeepAlive", DefaultKeepAlive));
    const int exists = key.ReadInteger("FileExistsAction", 0);
    cbxFileExists->setCurrentIndex(exists >= 0 && exists < cbxFileExists->count() ? exists : 0);
    sedtTransfers->setValue(std::clamp(key.ReadInteger("SimultaneousTransfers", 2), 1, MaxTransfers));
}

void TfrmOptions::SaveOptions() {
    TSettingsKey key(OptionsKey);
    if (!key.OpenForWriting()) return;
    key.WriteBool("WebHostingButton", cbShowWebHosting->isChecked());
    key.WriteBool("PlayDownload", cbPlaySoundDownload->isChecked());
    key.WriteString("DownloadSound", FromQt(ebxSoundDownload->text()));
    key.WriteBool("PlayUpload", cbPlaySoundUpload->isChecked());
    key.WriteString("UploadSound", FromQt(ebxSoundUpload->text()));
    key.WriteString("EditorCommand", FromQt(ebxEditor->text()));
    key.WriteString("AsciiExt", CommaTextOf(TextExtensions()));
    key.WriteInteger("FTPTimeOut", sedtTimeOut->Value());
    key.WriteBool("FTPAutoRefresh", cbDirAutoRefresh->isChecked());
    key.WriteBool("KeepFileTimes", cbKeepFileTimes->isChecked());
    key.WriteInteger("KeepAlive", sedtKeepAlive->Value());
    key.WriteInteger("FileExistsAction", cbxFileExists->currentIndex());
    key.WriteInteger("SimultaneousTransfers", sedtTransfers->Value());
}

void TfrmOptions::ApplyOptions() {
    if (OnApplyOptions) OnApplyOptions(this, cbShowWebHosting->isChecked());
}

std::vector<std::string> TfrmOptions::TextExtensions() const {
    std::vector<std::string> entries;
    for (int i = 0; i < lbFTPTextExt->count(); ++i) entries.push_back(FromQt(lbFTPTextExt->item(i)->text()));
    return entries;
}

void TfrmOptions::FillTextExtensions(const std::string& commaText) {
    lbFTPTextExt->clear();
    // An empty entry (a stored list ending in a comma) would match every file
    // without an extension and send it as text, corrupting binaries.
    for (const auto& entry : ParseCommaText(commaText))
        if (!entry.empty() && !IsRefusedTextExtension(ExtensionOf(entry))) InsertSorted(ToQt(entry));
    UpdateRemoveButton();
}

void TfrmOptions::InsertSorted(const QString& entry) {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    int at = lbFTPTextExt->count();
    while (at > 0 && collator.compare(lbFTPTextExt->item(at - 1)->text(), entry) > 0) --at;
    lbFTPTextExt->insertItem(at, entry);
}

void TfrmOptions::UpdateRemoveButton() { btnRmvFTPText->setEnabled(!lbFTPTextExt->selectedItems().isEmpty()); }

bool TfrmOptions::AddTextExtension(const std::string& answer) {
    const std::string extension = ExtensionOf(answer);
    if (IsRefusedTextExtension(extension)) {
        ShowInfoBox(ApplicationTitle, FromQt(tr("This extension is not a Ascii Text type.")));
        return false;
    }
    // An empty entry would match every file without an extension and send
    // binaries without one (programs, archives) as text, corrupting them.
    if (extension.empty()) return false;
    InsertSorted(ToQt(extension));
    return true;
}

void TfrmOptions::btnOkClick() {
    try {
        SaveOptions();
    } catch (const ESettingsError& error) {
        ShowInfoBox(ApplicationTitle, error.what());
        return;
    }
    ApplyOptions();
    accept();
}

void TfrmOptions::btnCancelClick() {
    LoadOptions();
    reject();
}

void TfrmOptions::btnAddFTPTextClick() {
    bool ok = false;
    const QString answer = QInputDialog::getText(this, QString::fromLatin1(ApplicationTitle), tr("Enter new text extension:"),
                                                 QLineEdit::Normal, QString(), &ok);
    if (ok) (void)AddTextExtension(FromQt(answer));
}

void TfrmOptions::btnRmvFTPTextClick() {
    const auto selected = lbFTPTextExt->selectedItems();
    if (selected.isEmpty()) return;
    delete lbFTPTextExt->takeItem(lbFTPTextExt->row(selected.front()));
    lbFTPTextExt->clearSelection();
    btnRmvFTPText->setEnabled(false);
}

void TfrmOptions::ChooseWaveFile(QLineEdit* target, const QString& title) {
    QFileDialog dialog(this, title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(tr("Wave files (*.wav)"));
    const QFileInfo current(target->text());
    if (!target->text().isEmpty() && current.absoluteDir().exists()) dialog.setDirectory(current.absoluteDir());
    dialog.selectFile(current.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    target->setText(dialog.selectedFiles().front());
}

void TfrmOptions::btnOpenDownWaveClick() {
    ChooseWaveFile(ebxSoundDownload, tr("Choose Wave file to play when download finishes"));
}

void TfrmOptions::btnOpenUpWaveClick() { ChooseWaveFile(ebxSoundUpload, tr("Choose Wave file to play when upload finishes")); }
