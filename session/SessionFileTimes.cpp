// Keeping file times across the window's transfers (the option "Keep file
// times"), as vftp --preserve does.
#include <QCheckBox>

#include "dialogs/FrmOptions.h"
#include "ftp/FtpLocalTimes.h"
#include "session/SessionController.h"
#include "util/ui/UiUtils.h"

bool TSessionController::KeepFileTimesOn() const { return W.frmOptions != nullptr && W.frmOptions->cbKeepFileTimes->isChecked(); }

void TSessionController::KeepFileTime(const TFTPCommand& command) {
    const bool download = command.Kind == cmdDownload;
    if (!FTP.Connected()) {
        if (download && RefreshLocalFiles) RefreshLocalFiles();
        return;
    }
    // The transfer may have left these changed; the time requests name the
    // same file the transfer did.
    FTP.HostDirName = command.HostDirName;
    FTP.HostFileName = command.HostFileName;
    bool kept = false;
    if (download) {
        // MLST's modify fact where offered (exact to the second wherever
        // servers have it), else MDTM.
        std::optional<std::int64_t> time;
        if (FTP.Features().Has("MLST") && FTP.MachineFile()) time = FTP.RemoteEntry().ModifyUtc;
        if (!time && FTP.Connected() && FTP.FileTime()) time = FTP.RemoteFileTime();
        kept = time && SetLocalFileTime(command.LocalFileName, *time);
        if (RefreshLocalFiles) RefreshLocalFiles();
    } else if (const std::optional<std::int64_t> time = LocalFileTime(command.LocalFileName)) {
        FTP.FileTimeUtc = *time;
        kept = FTP.SetFileTime();
    }
    if (kept) return;
    // The file itself arrived: its time is no reason for a message box.
    FTP.SetErrorMessage("");
    AddLogLine(FromQt(download ? tr("The server's time of the file could not be kept")
                               : tr("The file's time could not be set on the server")),
               TLogKind::Status);
}
