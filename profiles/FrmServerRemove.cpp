#include "profiles/FrmServerRemove.h"

#include <QLabel>
#include <QPushButton>

#include "profiles/CentreDialog.h"
#include "profiles/ServerInfoPanel.h"
#include "profiles/ServerList.h"
#include "profiles/ServerListBox.h"
#include "util/UiUtils.h"

TfrmServerRemove::TfrmServerRemove(TServerList& servers, QWidget* parent) : QDialog(parent), servers_(servers) {
    setWindowTitle(QStringLiteral(" Remove a FTP Server"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(460, 273);
    lblServers = new QLabel(QStringLiteral("Choose which FTP server to remove:"), this);
    lblServers->setGeometry(8, 8, 210, 16);
    lbServers = new TServerListBox(this);
    lbServers->setGeometry(8, 26, 210, 239);
    lbServers->setSelectionMode(QAbstractItemView::ExtendedSelection);
    pnlInfo = new TServerInfoPanel(TServerInfoPanel::TWording::RemoveOrConnect, this);
    pnlInfo->move(222, 8);
    btnOk = new QPushButton(QStringLiteral("&Delete"), this);
    btnOk->setGeometry(294, 240, 75, 25);
    btnCancel = new QPushButton(QStringLiteral("&No Way !"), this);
    btnCancel->setGeometry(377, 240, 75, 25);

    connect(lbServers, &QListWidget::itemSelectionChanged, this, [this] { lbServersClick(); });
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TfrmServerRemove::FormCreate() {
    lbServers->Fill(servers_);
    lbServersClick();
}

void TfrmServerRemove::lbServersClick() { pnlInfo->ShowServers(lbServers->SelectedServers()); }

std::string TfrmServerRemove::QuestionText(int count) {
    if (count == 1) return "Is it ok to delete this FTP server";
    return "Is it ok to delete these " + std::to_string(count) + " FTP servers";
}

void TfrmServerRemove::btnOkClick() {
    const int count = static_cast<int>(lbServers->SelectedServers().size());
    if (count == 0) {
        reject();
        return;
    }
    switch (AskYesNoCancel(ApplicationTitle, QuestionText(count))) {
        case IDYES:
            RemoveSelected();
            accept();
            break;
        case IDNO: reject(); break;
        default: break;  // Cancel: stay, selection kept
    }
}

void TfrmServerRemove::RemoveSelected() {
    for (TFTPServer* server : lbServers->SelectedServers()) {
        if (servers_.IndexOfServer(server) < 0) continue;
        if (OnServerRemoving) OnServerRemoving(this, server);
        if (servers_.Remove(server)) ++removed_;
    }
    // The rows point at freed profiles now.
    lbServers->Fill(servers_);
    if (OnServersChanged) OnServersChanged(this);
}

int TfrmServerRemove::Execute(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged,
                              const std::function<void(TFTPServer*)>& forgetServer) {
    TfrmServerRemove dialog(servers, owner);
    if (serversChanged) dialog.OnServersChanged = [&serversChanged](QWidget*) { serversChanged(); };
    if (forgetServer) dialog.OnServerRemoving = [&forgetServer](QWidget*, TFTPServer* server) { forgetServer(server); };
    CentreDialogOver(&dialog, owner);
    (void)dialog.exec();
    return dialog.RemovedCount();
}
