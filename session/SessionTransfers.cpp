// Transfers in the executor: the transfer type, the progress window and the
// status bar's progress, and what happens when a transfer ends.
#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <array>
#include <chrono>
#include <fstream>

#include "dialogs/FrmOptions.h"
#include "session/FrmDownload.h"
#include "session/SessionController.h"
#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {

// Extensions the automatic choice always sends as binary.
constexpr std::array<const char*, 12> kBinaryExtensions = {".GIF", ".JPG", ".JPEG", ".EXE", ".ZIP",  ".MOV",
                                                           ".MPG", ".MP2", ".MP3",  ".CAB", ".MPEG", ".AVI"};

// Refreshing the progress window and the status bar, and letting the window
// handle its events, at most this often: more would cap the transfer, and
// 30 refreshes a second look continuous.
constexpr double kPaintInterval = 1.0 / 30;

double SteadySeconds() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

bool FileExists(const std::string& path) { return !path.empty() && std::ifstream(path).good(); }

}  // namespace

bool TSessionController::ChooseBinaryMode(const std::string& fileName) const {
    if (W.tb97TransferAsc != nullptr && W.tb97TransferAsc->isChecked()) return false;
    if (W.tb97TransferBin != nullptr && W.tb97TransferBin->isChecked()) return true;
    const std::string extension = AsciiUpper(ExtensionOf(fileName));
    for (const char* binary : kBinaryExtensions)
        if (extension == binary) return true;
    if (W.frmOptions == nullptr) return true;
    for (const std::string& text : W.frmOptions->TextExtensions())
        if (AsciiUpper(text) == extension) return false;
    return true;
}

void TSessionController::PrepareTransfer(const TFTPCommand& command) {
    const bool upload = command.Kind == cmdUpload;
    auto* window = new TfrmDownload(upload);
    window->OnClosed = [this, alive = std::weak_ptr<bool>(alive_)] {
        if (alive.expired()) return;
        AbortRequested = true;
        FTP.AbortTransfer();
        TransferWindow = nullptr;
    };
    window->StartCount = command.ResumeAt;
    window->Update(command.HostFileName, command.ExpectedSize, 0);
    if (W.mainWindow != nullptr) CenterOver(window, W.mainWindow);
    window->show();
    TransferWindow = window;
    FTP.LocalFileName = command.LocalFileName;
    FTP.ResumeAt = command.ResumeAt;
    FTP.HostDirName = command.HostDirName;
    FTP.HostFileName = command.HostFileName;
    FTP.SetBinary(command.Binary);
    transferTotal_ = command.ExpectedSize;
    lastProgressPaint_ = -1;
    pendingProgress_ = 0;
    if (W.pbTransferStatus != nullptr) {
        W.pbTransferStatus->setMaximum(ProgressScale);
        W.pbTransferStatus->setValue(0);
    }
    AbortRequested = false;
}

void TSessionController::ReleaseTransferWindow() {
    progressCatchUp_->stop();
    delete TransferWindow.data();
    TransferWindow = nullptr;
}

int TSessionController::ScaledProgress(std::int64_t count, std::int64_t total) {
    if (total <= 0 || count <= 0) return 0;
    if (count >= total) return ProgressScale;
    return static_cast<int>(static_cast<double>(count) / static_cast<double>(total) * ProgressScale);
}

void TSessionController::ShowTransferProgress(std::int64_t count) {
    if (W.pbTransferStatus != nullptr) {
        W.pbTransferStatus->setMinimum(0);
        W.pbTransferStatus->setValue(ScaledProgress(count, transferTotal_));
    }
    if (TransferWindow != nullptr) TransferWindow->Update(FTP.HostFileName, -1, count);
}

void TSessionController::ShowPendingProgress() {
    lastProgressPaint_ = SteadySeconds();
    ShowTransferProgress(pendingProgress_);
}

// Raised by the engine for every block. The window and the status bar follow
// at most 30 times a second; a block in between is shown by a timer, so the
// figures are right when the data pauses.
void TSessionController::FTPProgress(TCustomFtpCli*, std::int64_t Count, bool& Abort) {
    // Not re-entered from the events processed below.
    const auto handler = std::move(FTP.OnProgress);
    FTP.OnProgress = nullptr;
    const auto alive = alive_;
    try {
        const double now = SteadySeconds();
        pendingProgress_ = Count;
        if (lastProgressPaint_ < 0 || now - lastProgressPaint_ >= kPaintInterval) {
            lastProgressPaint_ = now;
            progressCatchUp_->stop();
            ShowTransferProgress(Count);
            // The window's own events only (repaint, the Abort button): the
            // socket events that raised this one are handled by the loop it
            // came from, not run nested inside it.
            QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers);
        } else if (!progressCatchUp_->isActive()) {
            progressCatchUp_->start();
        }
    } catch (...) {
        // A failed display never stops a transfer.
    }
    if (!*alive) return;
    Abort = AbortRequested;
    if (Abort && W.pbTransferStatus != nullptr) W.pbTransferStatus->setValue(0);
    FTP.OnProgress = handler;
}

void TSessionController::PlayTransferSound(bool upload) {
    if (W.frmOptions == nullptr) return;
    const TfrmOptions& options = *W.frmOptions;
    const QCheckBox* play = upload ? options.cbPlaySoundUpload : options.cbPlaySoundDownload;
    const std::string sound = FromQt((upload ? options.ebxSoundUpload : options.ebxSoundDownload)->text());
    if (play->isChecked() && FileExists(sound) && PlaySound) (void)PlaySound(sound);
}

// A finished transfer: its window goes, the completion sound plays, and the
// local list (download) or the remote one (upload, when asked for) shows
// the new file.
void TSessionController::EndTransfer(bool upload) {
    if (W.pbTransferStatus != nullptr) W.pbTransferStatus->setValue(0);
    ReleaseTransferWindow();
    PlayTransferSound(upload);
    if (!upload) {
        // With the file's time still to come, the list is read once that is set.
        if (RefreshLocalFiles && !timeFollows_) RefreshLocalFiles();
        return;
    }
    if (W.frmOptions != nullptr && W.frmOptions->cbDirAutoRefresh->isChecked()) QueueListing();
}
