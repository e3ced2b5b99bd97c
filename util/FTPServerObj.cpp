#include "util/FTPServerObj.h"

#include <cctype>
#include <random>
#include <utility>

#include "util/IniFile.h"
#include "util/MiscUtils.h"

namespace {

// The offset only scrambles the stored text; it is no secret, so a
// general-purpose generator seeded once per run is enough.
int RandomOffset() {
    static std::mt19937 generator{std::random_device{}()};
    return std::uniform_int_distribution<int>(1, 32)(generator);
}

// A whole hexadecimal number of one or two digits; -1 otherwise.
int HexValue(const std::string& digits) {
    if (digits.empty()) return -1;
    int value = 0;
    for (const char c : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(c))) return -1;
        value = value * 16 + (std::isdigit(static_cast<unsigned char>(c)) ? c - '0' : std::toupper(c) - 'A' + 10);
    }
    return value;
}

void LoadQuoted(const TIniFile* ini, const std::string& section, const char* key, std::string& field) {
    const std::string value = ini->ReadString(section, key, "");
    if (!value.empty()) field = UnquoteValue(value);
}

const char* PasvWord(TPasvMode mode) {
    switch (mode) {
        case TPasvMode::Yes: return "Yes";
        case TPasvMode::No: return "No";
        default: return "Default";
    }
}

constexpr std::pair<TEncryptionMode, const char*> kEncryptionWords[] = {
    {TEncryptionMode::Plain, "Plain"},
    {TEncryptionMode::ExplicitIfAvailable, "ExplicitIfAvailable"},
    {TEncryptionMode::ExplicitRequired, "ExplicitRequired"},
    {TEncryptionMode::Implicit, "Implicit"},
};

}  // namespace

const char* TFTPServer::EncryptionWord(TEncryptionMode mode) {
    for (const auto& [value, word] : kEncryptionWords)
        if (value == mode) return word;
    return "Plain";
}

TEncryptionMode TFTPServer::EncryptionFromWord(const std::string& word) {
    const std::string upper = AsciiUpper(word);
    for (const auto& [value, text] : kEncryptionWords)
        if (AsciiUpper(text) == upper) return value;
    return TEncryptionMode::Plain;
}

std::string TFTPServer::ConnectRefusal() const {
    if (UnknownEncryption.empty()) return {};
    return "The profile \"" + Name + "\" asks for an unknown encryption \"" + UnknownEncryption +
           "\"; it does not connect, so that nothing goes out unencrypted";
}

bool TFTPServer::IsAnonymous() const { return AsciiUpper(Username) == "ANONYMOUS"; }

std::string TFTPServer::EncodePassword(const std::string& password) {
    if (password.empty()) return {};
    static constexpr char kHex[] = "0123456789ABCDEF";
    const int offset = RandomOffset();
    std::string out;
    out.reserve(2 + 2 * password.size());
    auto appendByte = [&out](unsigned value) {
        out += kHex[(value >> 4) & 0xF];
        out += kHex[value & 0xF];
    };
    appendByte(static_cast<unsigned>(offset));
    for (const char c : password) appendByte((static_cast<unsigned char>(c) + offset) & 0xFF);
    return out;
}

std::string TFTPServer::DecodePassword(const std::string& encoded) {
    if (encoded.empty()) return {};
    const int offset = HexValue(encoded.substr(0, 2));
    if (offset < 0) return {};
    std::string out;
    for (std::size_t pos = 2; pos < encoded.size(); pos += 2) {
        const int value = HexValue(encoded.substr(pos, 2));  // a last single digit reads alone
        if (value < 0) return {};
        out += static_cast<char>((value - offset) & 0xFF);
    }
    return out;
}

void TFTPServer::LoadFromIni(const TIniFile* ini, const std::string& section) {
    if (ini == nullptr) return;
    LoadQuoted(ini, section, "Name", Name);
    LoadQuoted(ini, section, "Hostname", Hostname);
    LoadQuoted(ini, section, "Port", Port);
    // An emptied port would be saved as "" and read back as missing, so the
    // profile would change on its next save; it cannot connect anyway.
    if (Port.empty()) Port = "21";
    LoadQuoted(ini, section, "Username", Username);
    // Username first: it decides whether the password is stored in clear.
    const std::string password = ini->ReadString(section, "Password", "");
    if (!password.empty()) {
        const std::string value = UnquoteValue(password);
        Password = IsAnonymous() ? value : DecodePassword(value);
    }
    const std::string pasv = AsciiUpper(ini->ReadString(section, "PASV", ""));
    if (pasv == "YES")
        PASV = TPasvMode::Yes;
    else if (pasv == "NO")
        PASV = TPasvMode::No;
    else if (!pasv.empty())
        PASV = TPasvMode::Default;
    const std::string encryption = ini->ReadString(section, "Encryption", "");
    Encryption = EncryptionFromWord(encryption);
    const bool known = encryption.empty() || AsciiUpper(EncryptionWord(Encryption)) == AsciiUpper(encryption);
    UnknownEncryption = known ? std::string() : encryption;
    LoadQuoted(ini, section, "StartDir", StartDir);
    LoadQuoted(ini, section, "LocalStartDir", LocalStartDir);
    LoadQuoted(ini, section, "SocksHost", SocksHost);
    LoadQuoted(ini, section, "SocksPort", SocksPort);
    LoadQuoted(ini, section, "SocksUser", SocksUser);
    std::string socksPassword;
    LoadQuoted(ini, section, "SocksPassword", socksPassword);
    if (!socksPassword.empty()) SocksPassword = DecodePassword(socksPassword);
}

void TFTPServer::SaveToIni(TIniFile* ini, const std::string& section) const {
    if (ini == nullptr) return;
    ini->WriteString(section, "Name", QuoteValue(Name));
    ini->WriteString(section, "Hostname", QuoteValue(Hostname));
    ini->WriteString(section, "Port", QuoteValue(Port));
    ini->WriteString(section, "Username", QuoteValue(Username));
    ini->WriteString(section, "Password", QuoteValue(IsAnonymous() ? Password : EncodePassword(Password)));
    ini->WriteString(section, "PASV", PasvWord(PASV));
    ini->WriteString(section, "Encryption", UnknownEncryption.empty() ? EncryptionWord(Encryption) : UnknownEncryption);
    ini->WriteString(section, "StartDir", QuoteValue(StartDir));
    ini->WriteString(section, "LocalStartDir", QuoteValue(LocalStartDir));
    if (SocksHost.empty()) return;
    ini->WriteString(section, "SocksHost", QuoteValue(SocksHost));
    ini->WriteString(section, "SocksPort", QuoteValue(SocksPort));
    ini->WriteString(section, "SocksUser", QuoteValue(SocksUser));
    ini->WriteString(section, "SocksPassword", QuoteValue(SocksPassword.empty() ? "" : EncodePassword(SocksPassword)));
}
