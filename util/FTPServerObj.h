#pragma once
// One server profile and its section of the profile file.

#include <cstdint>
#include <string>

class TIniFile;

// Passive-mode choice. Only Yes asks for passive data connections; Default is
// what a new profile, or a file with an unknown word, gives.
enum class TPasvMode { No, Yes, Default };

// FTP over TLS: key "Encryption". A missing key is Plain, so files written
// before the key existed keep their meaning; an unknown word (a typo, or a
// later version's word) is kept in UnknownEncryption and the profile does not
// connect, rather than send its password in clear.
enum class TEncryptionMode { Plain, ExplicitIfAvailable, ExplicitRequired, Implicit };

class TFTPServer {
public:
    std::string Name;
    std::string Hostname;
    std::string Port = "21";  // as typed; never checked for being a number
    std::string Username;
    std::string Password;  // clear text in memory; an e-mail address when anonymous
    TPasvMode PASV = TPasvMode::Default;
    TEncryptionMode Encryption = TEncryptionMode::Plain;
    // The word of key Encryption when it names no mode; saved back as it was.
    std::string UnknownEncryption;
    std::string LocalStartDir;
    std::string StartDir;
    // A SOCKS 5 proxy in front of the server (keys "SocksHost", "SocksPort",
    // "SocksUser", "SocksPassword", the password stored as Password is);
    // empty SocksHost: none, and no proxy keys are written.
    std::string SocksHost;
    std::string SocksPort = "1080";
    std::string SocksUser;
    std::string SocksPassword;
    std::int32_t MenuTag = 0;  // 100 + position in the Servers menu; 0 without an entry

    // True when Username, upper-cased in ASCII, is "ANONYMOUS".
    bool IsAnonymous() const;
    // Why the profile must not connect ("" when it may): an unknown
    // encryption word, named with the profile.
    std::string ConnectRefusal() const;

    // Fill from / write to one section; nothing when `ini` is null. Loading
    // leaves a field unchanged when its key is missing or empty.
    void LoadFromIni(const TIniFile* ini, const std::string& section);
    // Raises EIniFileException when the file cannot be written.
    void SaveToIni(TIniFile* ini, const std::string& section) const;

    // The stored form of a non-anonymous password: two hexadecimal digits of a
    // random offset 1..32, then two per character of (code + offset) mod 256.
    static std::string EncodePassword(const std::string& password);
    // The inverse; empty for text that is not in that form.
    static std::string DecodePassword(const std::string& encoded);

    // "Plain", "ExplicitIfAvailable", "ExplicitRequired", "Implicit".
    static const char* EncryptionWord(TEncryptionMode mode);
    // The mode a word names, ignoring case; Plain for any other word.
    static TEncryptionMode EncryptionFromWord(const std::string& word);
};
