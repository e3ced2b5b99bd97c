#include "tools/vftp/VftpProfiles.h"

#include <locale.h>

#include <algorithm>
#include <cwctype>

#include "util/IniFile.h"
#include "util/ServerProfiles.h"

namespace {

// Case tables of UTF-8 text, whatever locale the process runs in; null
// where the C library has none, and then only ASCII letters fold.
locale_t Utf8Locale() {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
    return locale;
}

// Code points of UTF-8 text; a byte that starts no valid sequence stands for
// itself, moved out of the way of real characters.
std::u32string CodePoints(const std::string& text) {
    std::u32string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int length = byte < 0x80 ? 1 : (byte >> 5) == 0x6 ? 2 : (byte >> 4) == 0xE ? 3 : (byte >> 3) == 0x1E ? 4 : 0;
        char32_t code = length == 1 ? byte : length == 2 ? byte & 0x1F : length == 3 ? byte & 0x0F : byte & 0x07;
        bool valid = length > 0 && i + static_cast<std::size_t>(length) <= text.size();
        for (int k = 1; valid && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
            valid = (next & 0xC0) == 0x80;
            code = (code << 6) | (next & 0x3F);
        }
        out += valid ? code : char32_t(0x110000 + byte);
        i += valid ? static_cast<std::size_t>(length) : 1;
    }
    return out;
}

std::u32string Folded(const std::string& text) {
    std::u32string codes = CodePoints(text);
    for (char32_t& c : codes) {
        if (c >= 'A' && c <= 'Z')
            c += 'a' - 'A';
        else if (c >= 0x80 && c < 0x110000 && Utf8Locale() != nullptr)
            c = static_cast<char32_t>(towlower_l(static_cast<wint_t>(c), Utf8Locale()));
    }
    return codes;
}

}  // namespace

VftpProfiles::VftpProfiles(std::string iniFile) : iniFile_(std::move(iniFile)) {
    const TIniFile ini(iniFile_);
    profiles_ = ReadServerProfiles(ini);
}

bool VftpProfiles::SameName(const std::string& a, const std::string& b) { return Folded(a) == Folded(b); }

bool VftpProfiles::NameLess(const std::string& a, const std::string& b) { return Folded(a) < Folded(b); }

const TFTPServer* VftpProfiles::Find(const std::string& name) const {
    const auto it = std::find_if(profiles_.rbegin(), profiles_.rend(), [&](const auto& p) { return SameName(p->Name, name); });
    return it == profiles_.rend() ? nullptr : it->get();
}

std::vector<std::string> VftpProfiles::Names() const {
    std::vector<std::string> names;
    for (const auto& profile : profiles_)
        if (std::none_of(names.begin(), names.end(), [&](const std::string& n) { return SameName(n, profile->Name); }))
            names.push_back(profile->Name);
    std::stable_sort(names.begin(), names.end(), NameLess);
    return names;
}
