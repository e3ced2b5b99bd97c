#include "profiles/FrmServerConnectTo.h"

#include <QLabel>
#include <QPushButton>

#include "profiles/CentreDialog.h"
#include "profiles/FrmServerAdd.h"
#include "profiles/FrmServerEdit.h"
#include "profiles/ServerInfoPanel.h"
#include "profiles/ServerListBox.h"
#include "util/UiUtils.h"

TfrmServerConnectTo::TfrmServerConnectTo(TServerList& servers, QWidget* parent) : QDialog(parent), servers_(servers) {
    setWindowTitle(QStringLiteral("Connect To a FTP Server"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(456, 262);
    lblServers = new QLabel(QStringLiteral("Choose which FTP server to connect to:"), this);
    lblServers->setGeometry(8, 8, 210, 16);
    lbServers = new TServerListBox(this);
    lbServers->setGeometry(8, 26, 210, 228);
    lbServers->setSelectionMode(QAbstractItemView::SingleSelection);
    pnlInfo = new TServerInfoPanel(TServerInfoPanel::TWording::RemoveOrConnect, this);
    pnlInfo->move(222, 8);
    btnAddServer = AddButton("&Add Server", 222, 200);
    btnEditServer = AddButton("&Edit Server", 341, 200);
    btnOk = AddButton("&Cool", 222, 229);
    btnOk->setDefault(true);
    btnCancel = AddButton("&No Way !", 341, 229);

    connect(lbServers, &QListWidget::itemSelectionChanged, this, [this] { lbServersClick(); });
    connect(lbServers, &QListWidget::itemDoubleClicked, this, [this] { lbServersDblClick(); });
    connect(btnOk, &QPushButton::clicked, this, [this] { lbServersDblClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnAddServer, &QPushButton::clicked, this, [this] { btnAddServerClick(); });
    connect(btnEditServer, &QPushButton::clicked, this, [this] { btnEditServerClick(); });
    FormCreate();
}

QPushButton* TfrmServerConnectTo::AddButton(const char* caption, int left, int top) {
    auto* button = new QPushButton(QString::fromLatin1(caption), this);
    button->setGeometry(left, top, 107, 25);
    return button;
}

void TfrmServerConnectTo::FormCreate() {
    pnlInfo->ClearFields();
    lbServers->Fill(servers_);
    lbServersClick();
}

TFTPServer* TfrmServerConnectTo::SelectedServer() const { return lbServers->SelectedServer(); }

void TfrmServerConnectTo::lbServersClick() {
    const auto selected = lbServers->SelectedServers();
    pnlInfo->ShowServers(selected);
    const bool one = selected.size() == 1;
    btnOk->setEnabled(one);
    btnEditServer->setEnabled(one);
}

void TfrmServerConnectTo::lbServersDblClick() {
    if (SelectedServer() != nullptr) accept();
}

void TfrmServerConnectTo::ServersChanged() {
    if (OnServersChanged) OnServersChanged(this);
}

void TfrmServerConnectTo::btnAddServerClick() {
    (void)TfrmServerAdd::AddServer(
        parentWidget(), servers_, [this] { ServersChanged(); },
        [this](TFTPServer* replaced) {
            if (OnServerRemoving) OnServerRemoving(this, replaced);
        });
    FormCreate();
}

void TfrmServerConnectTo::btnEditServerClick() {
    TfrmServerEdit edit(servers_, this);
    CentreDialogOver(&edit, this);
    edit.OnServersChanged = [this](QWidget*) { ServersChanged(); };
    // By the profile itself rather than by its text, so that two profiles
    // that came to share a name cannot be mixed up.
    const int row = edit.lbServers->RowOf(SelectedServer());
    edit.lbServers->setCurrentRow(row >= 0 ? row : 0);
    (void)edit.btnEditClick();
    FormCreate();
}

TFTPServer* TfrmServerConnectTo::Execute(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged,
                                         const std::function<void(TFTPServer*)>& forgetServer) {
    TfrmServerConnectTo dialog(servers, owner);
    if (serversChanged) dialog.OnServersChanged = [&serversChanged](QWidget*) { serversChanged(); };
    if (forgetServer) dialog.OnServerRemoving = [&forgetServer](QWidget*, TFTPServer* server) { forgetServer(server); };
    CentreDialogOver(&dialog, owner);
    return dialog.exec() == QDialog::Accepted ? dialog.SelectedServer() : nullptr;
}
