#include "util/ServerProfiles.h"

#include <algorithm>
#include <cctype>

#include "util/IniFile.h"
#include "util/Keyring.h"

std::string ServerSection(int position) { return "Server" + std::to_string(position); }

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

// Only the sections that are there are read: a count and a section number
// edited to hundreds of millions must not make the start-up read forever.
std::vector<std::unique_ptr<TFTPServer>> ReadServerProfiles(const TIniFile& ini) {
    std::vector<int> present = ServerSectionNumbers(ini);
    std::sort(present.begin(), present.end());
    present.erase(std::unique(present.begin(), present.end()), present.end());
    const int last = ini.ReadInteger("General", "Count", 0);
    std::vector<std::unique_ptr<TFTPServer>> profiles;
    for (const int i : present) {
        if (i > last) break;
        auto server = std::make_unique<TFTPServer>();
        server->LoadFromIni(&ini, ServerSection(i));
        if (!server->Name.empty()) profiles.push_back(std::move(server));
    }
    if (PasswordsInKeyring(ini)) {
        for (auto& server : profiles) {
            if (server->Password.empty() && !server->IsAnonymous())
                if (std::optional<std::string> kept = TKeyring::Lookup(*server)) server->Password = *kept;
            if (server->SocksPassword.empty() && !server->SocksHost.empty() && !server->SocksUser.empty())
                if (auto kept = TKeyring::Lookup(*server, TKeyringSecret::Proxy)) server->SocksPassword = *kept;
        }
    }
    return profiles;
}

bool PasswordsInKeyring(const TIniFile& ini) { return ini.ReadBool("General", PasswordsInKeyringKey, false); }
