#pragma once
// Access to a sectioned "key=value" profile file with the observable behaviour
// the profile store relies on:
//  - a section written for the first time is appended at the end of the file,
//    a new key at the end of its section, and rewriting a key replaces its
//    line in place; section and key names match ignoring ASCII case;
//  - a read drops one pair of enclosing quotation marks (double or single)
//    and returns at most 1,023 characters;
//  - integers read as decimal, or hexadecimal after "0x"/"0X"; text that is
//    not a 32-bit number gives the default.
// Every write reads the current file, changes it in memory and replaces the
// file atomically (new file beside it, flushed to disk, renamed over it), so a
// crash or a full disk leaves either the old or the new content, never a
// truncated file. Files are created readable and writable by the owner only.
// No caching: each call sees the file as it is on disk.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

class EIniFileException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TIniFile {
public:
    static constexpr std::size_t MaxValueLength = 1023;

    explicit TIniFile(std::string fileName);

    const std::string& FileName() const { return fileName_; }

    std::string ReadString(const std::string& section, const std::string& key, const std::string& def) const;
    std::int32_t ReadInteger(const std::string& section, const std::string& key, std::int32_t def) const;
    bool ReadBool(const std::string& section, const std::string& key, bool def) const;

    // Raise EIniFileException("Unable to write to <file>") when the file
    // cannot be replaced, or when a name or value would break the line format
    // (a line break anywhere, '=' in a key, ']' in a section name).
    void WriteString(const std::string& section, const std::string& key, const std::string& value);
    void WriteInteger(const std::string& section, const std::string& key, std::int32_t value);
    void WriteBool(const std::string& section, const std::string& key, bool value);
    // Removes the section header and every line up to the next section.
    // Erasing a section that does not exist leaves the file untouched.
    void EraseSection(const std::string& section);

    bool SectionExists(const std::string& section) const;
    // Names of the sections in file order, as written in their headers.
    std::vector<std::string> SectionNames() const;

    // Between BeginUpdate and the matching EndUpdate, writes change a copy in
    // memory and the file is replaced once, by EndUpdate (which raises like a
    // write). Reads see the pending content. Saving many keys at once then
    // costs one flush to disk instead of one per key.
    void BeginUpdate();
    void EndUpdate();

private:
    using Lines = std::vector<std::string>;

    Lines Load() const;
    void Store(const Lines& lines) const;
    [[noreturn]] void FailWrite() const;

    std::string fileName_;
    int updateDepth_ = 0;
    mutable std::vector<std::string> pending_;
    mutable bool hasPending_ = false;
};

// Keeps a TIniFile in update mode for a scope. The destructor ends the update
// but swallows a write failure (destructors must not raise); call Commit() to
// end it with the failure reported.
class TIniUpdate {
public:
    explicit TIniUpdate(TIniFile& ini) : ini_(&ini) { ini_->BeginUpdate(); }
    ~TIniUpdate();
    TIniUpdate(const TIniUpdate&) = delete;
    TIniUpdate& operator=(const TIniUpdate&) = delete;
    void Commit();

private:
    TIniFile* ini_;
};

// Parses a whole 32-bit decimal or "0x" hexadecimal number; false otherwise.
bool ParseIniInteger(const std::string& text, std::int32_t& value);
