#pragma once
// The name-sorted list of server profiles. Names compare ignoring case and
// following the user's locale, and are unique in that sense: adding a name
// that is already present keeps the existing entry's place and name text and
// replaces its profile (the old profile is freed). The list owns its
// profiles.

#include <QCollator>
#include <memory>
#include <string>
#include <vector>

#include "util/FTPServerObj.h"

class TServerList {
public:
    TServerList();

    int Count() const { return static_cast<int>(entries_.size()); }
    const std::string& NameAt(int index) const { return entries_.at(static_cast<std::size_t>(index)).name; }
    TFTPServer* At(int index) const { return entries_.at(static_cast<std::size_t>(index)).server.get(); }

    // Returns the index of the entry that now holds the profile.
    int Add(const std::string& name, std::unique_ptr<TFTPServer> server);
    // -1 when absent.
    int IndexOf(const std::string& name) const;
    int IndexOfServer(const TFTPServer* server) const;
    void Delete(int index);
    // Deletes the entry holding `server` and frees it; false when not held.
    bool Remove(const TFTPServer* server);
    // Files the profile held at `index` under a new name and moves it to the
    // place the name sorts to. False (and nothing changed) when another
    // profile already has the name, so names stay unique.
    bool Rename(int index, const std::string& name);
    // The Name of the profile other than `except` that holds `name` (equal
    // ignoring case); empty when there is none.
    std::string HolderOf(const std::string& name, const TFTPServer* except = nullptr) const;
    void Clear() { entries_.clear(); }

    // <0, 0, >0 like the list's ordering.
    int Compare(const std::string& a, const std::string& b) const;

private:
    struct Entry {
        std::string name;
        std::unique_ptr<TFTPServer> server;
    };
    // First position whose name does not sort before `name`.
    std::size_t LowerBound(const std::string& name) const;

    std::vector<Entry> entries_;
    QCollator collator_;
};
