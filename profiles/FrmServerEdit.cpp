#include "profiles/FrmServerEdit.h"

#include <QLabel>
#include <QPushButton>

#include "profiles/CentreDialog.h"
#include "profiles/FrmServerAdd.h"
#include "profiles/ServerInfoPanel.h"
#include "profiles/ServerListBox.h"
#include "util/UiUtils.h"

TfrmServerEdit::TfrmServerEdit(TServerList& servers, QWidget* parent) : QDialog(parent), servers_(servers) {
    setWindowTitle(QStringLiteral(" Edit a FTP Server"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(466, 295);
    lblServers = new QLabel(QStringLiteral("Double-Click an FTP Server to Edit:"), this);
    lblServers->setGeometry(8, 8, 210, 16);
    lbServers = new TServerListBox(this);
    lbServers->setGeometry(8, 26, 210, 261);
    lbServers->setSelectionMode(QAbstractItemView::SingleSelection);
    pnlInfo = new TServerInfoPanel(TServerInfoPanel::TWording::Edit, this);
    pnlInfo->move(228, 8);
    btnFinish = new QPushButton(QStringLiteral("&Finish"), this);
    btnFinish->setGeometry(383, 262, 75, 25);
    btnFinish->setDefault(true);

    connect(lbServers, &QListWidget::itemSelectionChanged, this, [this] { lbServersClick(); });
    connect(lbServers, &QListWidget::itemDoubleClicked, this, [this] { lbServersDblClick(); });
    // Escape rejects the dialog, which is what "&Finish" does too.
    connect(btnFinish, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TfrmServerEdit::FormCreate() {
    lbServers->Fill(servers_);
    lbServersClick();
}

void TfrmServerEdit::lbServersClick() { pnlInfo->ShowServers(lbServers->SelectedServers()); }

void TfrmServerEdit::lbServersDblClick() { (void)btnEditClick(); }

bool TfrmServerEdit::btnEditClick() {
    TFTPServer* server = lbServers->SelectedServer();
    if (server == nullptr) return false;
    TfrmServerAdd form(this);
    CentreDialogOver(&form, this);
    form.setWindowTitle(QStringLiteral("Edit a FTP Server"));
    form.LoadFrom(*server);
    if (form.exec() != QDialog::Accepted) return false;
    form.SaveTo(*server);
    if (OnServersChanged) OnServersChanged(this);
    FormCreate();
    return true;
}

void TfrmServerEdit::Execute(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged) {
    TfrmServerEdit dialog(servers, owner);
    if (serversChanged) dialog.OnServersChanged = [&serversChanged](QWidget*) { serversChanged(); };
    CentreDialogOver(&dialog, owner);
    (void)dialog.exec();
}
