#include "profiles/FrmServerConnectTo.h"

#include <QPushButton>

#include "profiles/DialogFrame.h"
#include "profiles/FrmServerAdd.h"
#include "profiles/FrmServerEdit.h"
#include "profiles/ServerListBox.h"

TfrmServerConnectTo::TfrmServerConnectTo(TServerList& servers, QWidget* parent)
    : TServerListDialog(servers,
                        {QT_TRANSLATE_NOOP("TServerListDialog", "Connect To a FTP Server"), QSize(456, 262),
                         QT_TRANSLATE_NOOP("TServerListDialog", "Choose which FTP server to connect to:"),
                         TServerInfoPanel::TWording::RemoveOrConnect, QAbstractItemView::SingleSelection},
                        parent) {
    btnAddServer = AddButton(QT_TRANSLATE_NOOP("TServerListDialog", "&Add Server"), 218, 200, 107);
    btnEditServer = AddButton(QT_TRANSLATE_NOOP("TServerListDialog", "&Edit Server"), 337, 200, 107);
    btnOk = AddButton(QT_TRANSLATE_NOOP("TServerListDialog", "&Cool"), 218, 229, 107);
    btnOk->setDefault(true);
    btnCancel = AddButton(QT_TRANSLATE_NOOP("TServerListDialog", "&No Way !"), 337, 229, 107);

    connect(lbServers, &QListWidget::itemDoubleClicked, this, [this] { lbServersDblClick(); });
    connect(btnOk, &QPushButton::clicked, this, [this] { lbServersDblClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnAddServer, &QPushButton::clicked, this, [this] { btnAddServerClick(); });
    connect(btnEditServer, &QPushButton::clicked, this, [this] { btnEditServerClick(); });
    FormCreate();
}

void TfrmServerConnectTo::FormCreate() {
    pnlInfo->ClearFields();
    TServerListDialog::FormCreate();
}

TFTPServer* TfrmServerConnectTo::SelectedServer() const { return lbServers->SelectedServer(); }

void TfrmServerConnectTo::lbServersClick() {
    TServerListDialog::lbServersClick();
    const bool one = lbServers->SelectedServers().size() == 1;
    btnOk->setEnabled(one);
    btnEditServer->setEnabled(one);
}

void TfrmServerConnectTo::lbServersDblClick() {
    if (SelectedServer() != nullptr) accept();
}

void TfrmServerConnectTo::btnAddServerClick() {
    (void)TfrmServerAdd::AddServer(parentWidget(), servers_, [this] { ServersChanged(); });
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

TFTPServer* TfrmServerConnectTo::Execute(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged) {
    TfrmServerConnectTo dialog(servers, owner);
    dialog.BindCallbacks(serversChanged, {});
    CentreDialogOver(&dialog, owner);
    return dialog.exec() == QDialog::Accepted ? dialog.SelectedServer() : nullptr;
}
