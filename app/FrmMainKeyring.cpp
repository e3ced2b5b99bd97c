// The main window moving the profiles' passwords between the profile file
// and the desktop keyring (see FrmMain.h).
#include "app/FrmMain.h"
#include "dialogs/FrmOptions.h"
#include "util/Keyring.h"
#include "util/ui/SettingsKey.h"
#include "util/ui/UiUtils.h"

namespace {

constexpr char kKeyringOffered[] = "KeyringOffered";

}  // namespace

void TfrmMain::OfferKeyringOnce() {
    if (!Servers || Servers->InMemoryOnly() || Servers->PasswordsInKeyring) return;
    TSettingsKey key(TfrmOptions::OptionsKey);
    if (key.ReadBool(kKeyringOffered, false) || !TKeyring::Available()) return;
    if (!key.OpenForWriting()) return;
    key.WriteBool(kKeyringOffered, true);
    if (AskYesNo(ApplicationTitle,
                 Translated("TfrmMain",
                            "A desktop keyring is running. Keep the passwords of your FTP servers there instead of in the "
                            "profile file?\n\nOptions can change this later.")) == IDYES)
        MovePasswords(true);
}

void TfrmMain::MovePasswords(bool toKeyring) {
    if (!Servers) return;
    try {
        Servers->MovePasswords(toKeyring);
    } catch (const std::exception& error) {
        ReportSaveFailure(Servers->ServerIniFile, error.what(), false);
        return;
    }
    std::string line;
    if (!toKeyring)
        line = Translated("TfrmMain", "Server passwords are kept in the profile file now.");
    else if (!Servers->KeyringProblem.empty())
        line = Substitute(
            Translated("TfrmMain", "The desktop keyring cannot be used (%1): server passwords stay in the profile file."),
            {Servers->KeyringProblem});
    else
        line = Translated("TfrmMain", "Server passwords are kept in the desktop keyring now; the profile file holds none.");
    Session.AddLogLine(line, TLogKind::Status);
}
