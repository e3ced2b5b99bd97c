#pragma once
// The list of profile names shown by the edit, remove and connect-to dialogs.
// Each row is linked to its profile; the dialogs hold these pointers only
// while they are open (the profiles belong to the server list).

#include <QListWidget>
#include <vector>

class TFTPServer;
class TServerList;

class TServerListBox : public QListWidget {
public:
    explicit TServerListBox(QWidget* parent = nullptr);

    // Replaces the rows with the names of every profile, sorted the way the
    // server list sorts, with no row selected. The text of a row is the
    // profile's own Name, so a profile renamed in the edit dialog shows its
    // new name at its new place.
    void Fill(const TServerList& servers);

    // Null for a row out of range.
    TFTPServer* ServerAt(int row) const;
    // -1 when the profile has no row.
    int RowOf(const TFTPServer* server) const;
    // The profiles of the selected rows, top to bottom.
    std::vector<TFTPServer*> SelectedServers() const;
    // The one selected profile; null with none or several selected.
    TFTPServer* SelectedServer() const;

private:
    std::vector<TFTPServer*> servers_;  // row order
};
