#include "profiles/ServerList.h"

#include <algorithm>

#include "util/UiUtils.h"

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
    const std::size_t at = LowerBound(name);
    if (at < entries_.size() && Compare(entries_[at].name, name) == 0) {
        entries_[at].server = std::move(server);
        return static_cast<int>(at);
    }
    entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(at), Entry{name, std::move(server)});
    return static_cast<int>(at);
}

int TServerList::IndexOf(const std::string& name) const {
    const std::size_t at = LowerBound(name);
    return at < entries_.size() && Compare(entries_[at].name, name) == 0 ? static_cast<int>(at) : -1;
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
