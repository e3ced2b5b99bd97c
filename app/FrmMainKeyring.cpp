// The main window moving the profiles' passwords between the profile file
// and the desktop keyring (see FrmMain.h).
#include "app/FrmMain.h"
#include "util/Keyring.h"

void TfrmMain::MovePasswords(bool toKeyring) {
    if (!Servers) return;
    try {
        Servers->MovePasswords(toKeyring);
    } catch (const std::exception& error) {
        ReportSaveFailure(Servers->ServerIniFile, error.what());
        return;
    }
    std::string line;
    if (!toKeyring)
        line = "Server passwords are kept in the profile file now.";
    else if (!Servers->KeyringProblem.empty())
        line = "The desktop keyring cannot be used (" + Servers->KeyringProblem + "): server passwords stay in the profile file.";
    else
        line = "Server passwords are kept in the desktop keyring now; the profile file holds none.";
    Session.AddLogLine(line, TLogKind::Status);
}
