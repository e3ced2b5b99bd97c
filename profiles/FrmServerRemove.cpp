#include "profiles/FrmServerRemove.h"

#include <QPushButton>

#include "profiles/DialogFrame.h"
#include "profiles/ServerList.h"
#include "profiles/ServerListBox.h"
#include "util/ui/UiUtils.h"

TfrmServerRemove::TfrmServerRemove(TServerList& servers, QWidget* parent)
    : TServerListDialog(servers,
                        {QT_TRANSLATE_NOOP("TServerListDialog", " Remove a FTP Server"), QSize(460, 273),
                         QT_TRANSLATE_NOOP("TServerListDialog", "Choose which FTP server to remove:"),
                         TServerInfoPanel::TWording::RemoveOrConnect, QAbstractItemView::ExtendedSelection},
                        parent) {
    btnOk = AddButton(QT_TRANSLATE_NOOP("TServerListDialog", "&Delete"), 294, 240);
    btnCancel = AddButton(QT_TRANSLATE_NOOP("TServerListDialog", "&No Way !"), 377, 240);
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

std::string TfrmServerRemove::QuestionText(int count) {
    if (count == 1) return Translated("TfrmServerRemove", "Is it ok to delete this FTP server");
    return Substitute(Translated("TfrmServerRemove", "Is it ok to delete these %1 FTP servers"), {std::to_string(count)});
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
        ServerRemoving(server);
        if (servers_.Remove(server)) ++removed_;
    }
    // The rows point at freed profiles now.
    FormCreate();
    ServersChanged();
}

int TfrmServerRemove::Execute(QWidget* owner, TServerList& servers, const std::function<void()>& serversChanged,
                              const std::function<void(TFTPServer*)>& forgetServer) {
    TfrmServerRemove dialog(servers, owner);
    dialog.BindCallbacks(serversChanged, forgetServer);
    CentreDialogOver(&dialog, owner);
    (void)dialog.exec();
    return dialog.RemovedCount();
}
