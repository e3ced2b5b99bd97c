#include "profiles/FrmServerEdit.h"

#include <QPushButton>

#include "profiles/DialogFrame.h"
#include "profiles/FrmServerAdd.h"
#include "profiles/ServerList.h"
#include "profiles/ServerListBox.h"
#include "util/ui/UiUtils.h"

TfrmServerEdit::TfrmServerEdit(TServerList& servers, QWidget* parent)
    : TServerListDialog(servers,
                        {QT_TRANSLATE_NOOP("TServerListDialog", " Edit a FTP Server"), QSize(466, 295),
                         QT_TRANSLATE_NOOP("TServerListDialog", "Double-Click an FTP Server to Edit:"),
                         TServerInfoPanel::TWording::Edit, QAbstractItemView::SingleSelection},
                        parent) {
    btnFinish = AddButton(QT_TRANSLATE_NOOP("TServerListDialog", "&Finish"), 383, 262);
    btnFinish->setDefault(true);
    connect(lbServers, &QListWidget::itemDoubleClicked, this, [this] { lbServersDblClick(); });
    // Escape rejects the dialog, which is what "&Finish" does too.
    connect(btnFinish, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TfrmServerEdit::lbServersDblClick() { (void)btnEditClick(); }

bool TfrmServerEdit::btnEditClick() {
    TFTPServer* server = lbServers->SelectedServer();
    if (server == nullptr) return false;
    TfrmServerAdd form(this);
    CentreDialogOver(&form, this);
    form.setWindowTitle(QCoreApplication::translate("TfrmServerEdit", "Edit a FTP Server"));
    form.LoadFrom(*server);
    // A new name that another profile already has would make the two
    // collide in the profile file, and the next start would keep only one.
    form.NameHolder = [this, server](const std::string& name) { return servers_.HolderOf(name, server); };
    if (form.exec() != QDialog::Accepted) return false;
    if (!servers_.Rename(servers_.IndexOfServer(server), form.EnteredName())) return false;
    form.SaveTo(*server);
    ServersChanged();
    FormCreate();
    return true;
}

void TfrmServerEdit::Execute(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged) {
    TfrmServerEdit dialog(servers, owner);
    dialog.BindCallbacks(serversChanged, {});
    CentreDialogOver(&dialog, owner);
    (void)dialog.exec();
}
