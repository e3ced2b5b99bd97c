#include "profiles/ServerListBox.h"

#include <algorithm>

#include "profiles/ServerList.h"
#include "util/ui/UiUtils.h"

TServerListBox::TServerListBox(QWidget* parent) : QListWidget(parent) {}

void TServerListBox::Fill(const TServerList& servers) {
    clear();
    servers_.clear();
    for (int i = 0; i < servers.Count(); ++i) servers_.push_back(servers.At(i));
    // Stable, so equal names keep the list's order.
    std::stable_sort(servers_.begin(), servers_.end(),
                     [&servers](const TFTPServer* a, const TFTPServer* b) { return servers.Compare(a->Name, b->Name) < 0; });
    for (const TFTPServer* server : servers_) addItem(ToQt(server->Name));
    clearSelection();
    setCurrentRow(-1, QItemSelectionModel::NoUpdate);
}

TFTPServer* TServerListBox::ServerAt(int row) const {
    if (row < 0 || row >= static_cast<int>(servers_.size())) return nullptr;
    return servers_[static_cast<std::size_t>(row)];
}

int TServerListBox::RowOf(const TFTPServer* server) const {
    const auto it = std::find(servers_.begin(), servers_.end(), server);
    return it == servers_.end() ? -1 : static_cast<int>(it - servers_.begin());
}

std::vector<TFTPServer*> TServerListBox::SelectedServers() const {
    std::vector<TFTPServer*> selected;
    for (int row = 0; row < count(); ++row)
        if (item(row)->isSelected()) selected.push_back(ServerAt(row));
    return selected;
}

TFTPServer* TServerListBox::SelectedServer() const {
    const std::vector<TFTPServer*> selected = SelectedServers();
    return selected.size() == 1 ? selected.front() : nullptr;
}
