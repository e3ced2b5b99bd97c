#pragma once
// One key of the per-user settings tree, read and written with typed
// accessors. Key paths are written as the program has always named them
// ("Software\Orvan Software\Velliant FTP\Options\"): the application's root is
// dropped and each remaining component becomes a settings group, so the
// example is the group "Options". Flags are stored as the integers 0 and 1.
// A missing value, or one of the wrong type, reads as the given default.

#include <QSettings>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

class ESettingsError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Root of the program's settings, with the trailing separator.
inline constexpr char ApplicationSettingsRoot[] = "Software\\Orvan Software\\Velliant FTP\\";

class TSettingsKey {
public:
    explicit TSettingsKey(const std::string& keyPath);
    ~TSettingsKey();
    TSettingsKey(const TSettingsKey&) = delete;
    TSettingsKey& operator=(const TSettingsKey&) = delete;

    // The group path below the application, e.g. "Interface" or
    // "vftp.INI/frmMain".
    const QString& Group() const { return group_; }

    // True when the key holds a value or a sub-key.
    bool Exists() const;
    bool ValueExists(const std::string& name) const;
    // Opening or creating the key for writing: false when the store cannot
    // be written (callers then skip storing, without an error).
    bool OpenForWriting() const;

    std::int32_t ReadInteger(const std::string& name, std::int32_t def) const;
    std::string ReadString(const std::string& name, const std::string& def) const;
    bool ReadBool(const std::string& name, bool def) const;

    // Raise ESettingsError("Failed to set data for '<name>'") when the value
    // could not be stored.
    void WriteInteger(const std::string& name, std::int32_t value);
    void WriteString(const std::string& name, const std::string& value);
    void WriteBool(const std::string& name, bool value);
    void DeleteValue(const std::string& name);

private:
    QString PathOf(const std::string& name) const;
    void Store(const std::string& name, const QVariant& value);

    std::unique_ptr<QSettings> settings_;
    QString group_;
};
