#include "profiles/ServerStore.h"

#include <QAction>
#include <QMenu>
#include <algorithm>
#include <cctype>

#include "util/IniFile.h"
#include "util/SettingsKey.h"
#include "util/UiUtils.h"

namespace {

constexpr char kGeneral[] = "General";

std::string ServerSection(int position) { return "Server" + std::to_string(position); }

// The positions of the "Server<n>" sections present in the file. "Count"
// comes from a file anyone can edit: a huge value must not make loading or
// saving walk billions of absent sections.
std::vector<int> ServerSectionNumbers(const TIniFile& ini) {
    std::vector<int> numbers;
    for (const auto& name : ini.SectionNames()) {
        if (name.size() <= 6 || name.size() > 15 || !std::equal(name.begin(), name.begin() + 6, "SERVER", [](char a, char b) {
                return std::toupper(static_cast<unsigned char>(a)) == b;
            }))
            continue;
        std::int32_t n = 0;
        const std::string digits = name.substr(6);
        if (digits.find_first_not_of("0123456789") == std::string::npos && ParseIniInteger(digits, n) && n > 0)
            numbers.push_back(n);
    }
    return numbers;
}

int HighestServerSection(const TIniFile& ini) {
    const auto numbers = ServerSectionNumbers(ini);
    return numbers.empty() ? 0 : *std::max_element(numbers.begin(), numbers.end());
}

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
    const int count = ini.ReadInteger(kGeneral, "Count", 0);
    WaitMode = ini.ReadBool(kGeneral, "Sync", true);
    StartTimeout = ini.ReadInteger(kGeneral, "FTPTimeOut", 30);
    const int last = std::min(count, HighestServerSection(ini));
    for (int i = 1; i <= last; ++i) {
        auto server = std::make_unique<TFTPServer>();
        server->LoadFromIni(&ini, ServerSection(i));
        if (server->Name.empty()) continue;
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
    for (int p = 1; p <= ServerList.Count(); ++p) ServerList.At(p - 1)->SaveToIni(&ini, ServerSection(p));
    for (const int k : ServerSectionNumbers(ini))
        if (k > ServerList.Count() && k <= oldCount) ini.EraseSection(ServerSection(k));
    update.Commit();
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
