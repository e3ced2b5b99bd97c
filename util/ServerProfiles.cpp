#include "util/ServerProfiles.h"

#include <algorithm>
#include <cctype>

#include "util/IniFile.h"

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

std::vector<std::unique_ptr<TFTPServer>> ReadServerProfiles(const TIniFile& ini) {
    const std::vector<int> present = ServerSectionNumbers(ini);
    const int highest = present.empty() ? 0 : *std::max_element(present.begin(), present.end());
    const int last = std::min(ini.ReadInteger("General", "Count", 0), highest);
    std::vector<std::unique_ptr<TFTPServer>> profiles;
    for (int i = 1; i <= last; ++i) {
        auto server = std::make_unique<TFTPServer>();
        server->LoadFromIni(&ini, ServerSection(i));
        if (!server->Name.empty()) profiles.push_back(std::move(server));
    }
    return profiles;
}
