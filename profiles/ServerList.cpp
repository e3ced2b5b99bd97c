#include "profiles/ServerList.h"

#include <algorithm>

#include "util/ui/UiUtils.h"

TServerList::TServerList() { collator_.setCaseSensitivity(Qt::CaseInsensitive); }

int TServerList::Compare(const std::string& a, const std::string& b) const {
    const QString qa = ToQt(a);
    const QString qb = ToQt(b);
    if (const int order = collator_.compare(qa, qb); order != 0) return order;
    // Bytes that are not valid in the locale's encoding all read as the
    // replacement character; tell those names apart by their bytes.
    if (qa.contains(QChar::ReplacementCharacter) || qb.contains(QChar::ReplacementCharacter)) return a.compare(b);
    return 0;
}

std::size_t TServerList::LowerBound(const std::string& name) const {
    const auto it = std::lower_bound(entries_.begin(), entries_.end(), name,
                                     [this](const Entry& e, const std::string& n) { return Compare(e.name, n) < 0; });
    return static_cast<std::size_t>(it - entries_.begin());
}

int TServerList::Add(const std::string& name, std::unique_ptr<TFTPServer> server) {
    if (const int existing = IndexOf(name); existing >= 0) {
        entries_[static_cast<std::size_t>(existing)].server = std::move(server);
        return existing;
    }
    const std::size_t at = LowerBound(name);
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), Entry{name, std::move(server)});
    return static_cast<int>(at);
}

// A linear search: profile lists are short.
int TServerList::IndexOf(const std::string& name) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (Compare(entries_[i].name, name) == 0) return static_cast<int>(i);
    return -1;
}

int TServerList::IndexOfServer(const TFTPServer* server) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (entries_[i].server.get() == server) return static_cast<int>(i);
    return -1;
}

void TServerList::Delete(int index) { entries_.erase(entries_.begin() + index); }

bool TServerList::Remove(const TFTPServer* server) {
    const int index = IndexOfServer(server);
    if (index < 0) return false;
    Delete(index);
    return true;
}

// The Servers menu is numbered by list position; a renamed profile left in
// its old place would show out of order until the next start.
bool TServerList::Rename(int index, const std::string& name) {
    const int holder = IndexOf(name);
    if (holder >= 0 && holder != index) return false;
    Entry entry = std::move(entries_.at(static_cast<std::size_t>(index)));
    Delete(index);
    entry.name = name;
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(LowerBound(name)), std::move(entry));
    return true;
}

std::string TServerList::HolderOf(const std::string& name, const TFTPServer* except) const {
    const int holder = IndexOf(name);
    return holder < 0 || At(holder) == except ? std::string() : At(holder)->Name;
}
