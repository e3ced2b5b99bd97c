#include "profiles/ServerStore.h"

#include <QAction>
#include <QMenu>

#include "util/IniFile.h"
#include "util/Keyring.h"
#include "util/ServerProfiles.h"
#include "util/ui/SettingsKey.h"
#include "util/ui/UiUtils.h"

namespace {

constexpr char kGeneral[] = "General";

}  // namespace

TServerStore::TServerStore(std::string defaultIniFile)
    : DefaultServerIniFile(std::move(defaultIniFile)), ServerIniFile(DefaultServerIniFile) {}

void TServerStore::LoadServers() {
    ServerIniFile = TSettingsKey(ServersKey).ReadString(IniFilenameValue, DefaultServerIniFile);
    if (InMemoryOnly()) return;
    TIniFile ini(ServerIniFile);
    loadFailed_ = true;
    ini.WriteString(kGeneral, "Temp", "Temp");
    loadFailed_ = false;
    WaitMode = ini.ReadBool(kGeneral, "Sync", true);
    StartTimeout = ini.ReadInteger(kGeneral, "FTPTimeOut", 30);
    PasswordsInKeyring = ::PasswordsInKeyring(ini);
    for (auto& server : ReadServerProfiles(ini)) {
        const std::string name = server->Name;
        ServerList.Add(name, std::move(server));
    }
}

void TServerStore::SaveServers() {
    if (loadFailed_ || InMemoryOnly()) return;
    if (ServerIniFile != DefaultServerIniFile) {
        TSettingsKey key(ServersKey);
        if (key.OpenForWriting()) key.WriteString(IniFilenameValue, ServerIniFile);
    }
    TIniFile ini(ServerIniFile);
    TIniUpdate update(ini);
    const int oldCount = ini.ReadInteger(kGeneral, "Count", 0);
    ini.WriteInteger(kGeneral, "Count", ServerList.Count());
    ini.WriteBool(kGeneral, PasswordsInKeyringKey, PasswordsInKeyring);
    KeyringProblem.clear();
    for (int p = 1; p <= ServerList.Count(); ++p) SaveProfile(ini, *ServerList.At(p - 1), ServerSection(p));
    for (const int k : ServerSectionNumbers(ini))
        if (k > ServerList.Count() && k <= oldCount) ini.EraseSection(ServerSection(k));
    update.Commit();
}

void TServerStore::SaveProfile(TIniFile& ini, const TFTPServer& profile, const std::string& section) {
    TFTPServer stored = profile;
    if (PasswordsInKeyring) {
        if (!profile.IsAnonymous() && !profile.Password.empty() && StoreInKeyring(profile, TKeyringSecret::Server))
            stored.Password.clear();
        if (!profile.SocksHost.empty() && !profile.SocksPassword.empty() && StoreInKeyring(profile, TKeyringSecret::Proxy))
            stored.SocksPassword.clear();
    }
    stored.SaveToIni(&ini, section);
}

bool TServerStore::StoreInKeyring(const TFTPServer& profile, TKeyringSecret secret) {
    std::string problem;
    if (TKeyring::Store(profile, problem, secret)) return true;
    if (KeyringProblem.empty()) KeyringProblem = problem;
    return false;
}

void TServerStore::MovePasswords(bool toKeyring) {
    if (!toKeyring && PasswordsInKeyring) {
        for (int i = 0; i < ServerList.Count(); ++i) {
            const TFTPServer* profile = ServerList.At(i);
            // A password the keyring did not give at start-up is not in
            // memory: its entry stays rather than be lost.
            if (!profile->IsAnonymous() && !profile->Password.empty()) (void)TKeyring::Clear(*profile);
            if (!profile->SocksHost.empty() && !profile->SocksPassword.empty())
                (void)TKeyring::Clear(*profile, TKeyringSecret::Proxy);
        }
    }
    PasswordsInKeyring = toKeyring;
    SaveServers();
}

void TServerStore::ClearServerMenu(QMenu* menu) {
    if (menu != nullptr) {
        for (QAction* action : menu->actions()) {
            if (action->data().toInt() < FirstServerTag) continue;
            menu->removeAction(action);
            delete action;
        }
    }
    for (int i = 0; i < ServerList.Count(); ++i) ServerList.At(i)->MenuTag = 0;
}

void TServerStore::FillServerMenu(QMenu* menu, const std::function<void(int tag)>& connect) {
    ClearServerMenu(menu);
    if (menu == nullptr) return;
    for (int n = 1; n <= ServerList.Count(); ++n) {
        TFTPServer* server = ServerList.At(n - 1);
        const int tag = FirstServerTag + n;
        // Plain text: an '&' in a profile name must show, not mark a shortcut.
        QString caption = QString::number(n) + QStringLiteral(". ") + ToQt(server->Name);
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu->addAction(caption);
        action->setData(tag);
        QObject::connect(action, &QAction::triggered, menu, [connect, tag] {
            if (connect) connect(tag);
        });
        server->MenuTag = tag;
    }
}

TFTPServer* TServerStore::ServerWithTag(int tag) const {
    for (int i = 0; i < ServerList.Count(); ++i)
        if (ServerList.At(i)->MenuTag == tag) return ServerList.At(i);
    return nullptr;
}
