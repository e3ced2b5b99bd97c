#include "profiles/ServerListDialog.h"

#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "profiles/DialogFrame.h"
#include "profiles/ServerListBox.h"

namespace {

constexpr int kListWidth = 210;

}  // namespace

TServerListDialog::TServerListDialog(TServerList& servers, const TLook& look, QWidget* parent)
    : QDialog(parent), servers_(servers) {
    SetFixedDialogFrame(this, tr(look.caption), look.size);
    // A heading wider than the list wraps, and the list starts below it,
    // rather than running into the information panel's heading.
    lblServers = new QLabel(tr(look.heading), this);
    lblServers->setWordWrap(true);
    const int headingHeight = std::max(16, lblServers->heightForWidth(kListWidth));
    lblServers->setGeometry(8, 8, kListWidth, headingHeight);
    lbServers = new TServerListBox(this);
    const int listTop = 10 + headingHeight;
    lbServers->setGeometry(8, listTop, kListWidth, look.size.height() - listTop - 8);
    lbServers->setSelectionMode(look.selection);
    pnlInfo = new TServerInfoPanel(look.wording, this);
    pnlInfo->move(look.size.width() - pnlInfo->width() - 8, 8);
    connect(lbServers, &QListWidget::itemSelectionChanged, this, [this] { lbServersClick(); });
}

void TServerListDialog::FormCreate() {
    lbServers->Fill(servers_);
    lbServersClick();
}

void TServerListDialog::lbServersClick() { pnlInfo->ShowServers(lbServers->SelectedServers()); }

void TServerListDialog::BindCallbacks(const std::function<void()>& serversChanged,
                                      const std::function<void(TFTPServer*)>& forgetServer) {
    if (serversChanged) OnServersChanged = [serversChanged](QWidget*) { serversChanged(); };
    if (forgetServer) OnServerRemoving = [forgetServer](QWidget*, TFTPServer* server) { forgetServer(server); };
}

void TServerListDialog::ServersChanged() {
    if (OnServersChanged) OnServersChanged(this);
}

void TServerListDialog::ServerRemoving(TFTPServer* server) {
    if (OnServerRemoving) OnServerRemoving(this, server);
}

QPushButton* TServerListDialog::AddButton(const char* caption, int left, int top, int width) {
    auto* button = new QPushButton(tr(caption), this);
    button->setGeometry(left, top, width, 25);
    return button;
}
