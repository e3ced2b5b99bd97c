// The main window opening an ftp:// or ftps:// link (see FrmMain.h).
#include <QInputDialog>
#include <QLineEdit>

#include "app/FrmMain.h"
#include "app/FtpLink.h"
#include "util/ui/UiUtils.h"

namespace {

const TFTPServer* SavedProfileOf(const TServerList& list, const TFtpLink& link) {
    for (int i = 0; i < list.Count(); ++i)
        if (link.SameServerAndUser(*list.At(i))) return list.At(i);
    return nullptr;
}

// The host as the profile's name, numbered when a profile holds that name.
std::string FreeProfileName(const TServerList& list, const std::string& host) {
    std::string name = host;
    for (int n = 2; list.IndexOf(name) >= 0; ++n) name = host + " (" + std::to_string(n) + ")";
    return name;
}

}  // namespace

void TfrmMain::OpenLink(const std::string& text) {
    std::string error;
    std::optional<TFtpLink> link = TFtpLink::Parse(text, error);
    if (!link) {
        ShowInfo(ApplicationTitle, error);
        return;
    }
    if (!Servers || Session.Busy || Session.Executing()) return;
    const TFTPServer* saved = SavedProfileOf(Servers->ServerList, *link);
    if (!link->HasPassword && saved != nullptr) link->Profile.Password = saved->Password;
    if (!link->HasPassword && saved == nullptr) {
        bool ok = false;
        const QString password =
            QInputDialog::getText(this, QString::fromLatin1(ApplicationTitle),
                                  QCoreApplication::translate("TfrmMain", "Password for %1:").arg(ToQt(link->Address())),
                                  QLineEdit::Password, QString(), &ok);
        if (!ok) return;
        link->Profile.Password = FromQt(password);
    }
    if (saved != nullptr) link->Profile.PASV = saved->PASV;
    if (Session.FTP.Connected()) {
        Session.DisconnectFromServer();
        if (Session.FTP.Connected() || Session.Busy || Session.Executing()) return;
    }
    linkServer_ = std::make_unique<TFTPServer>(link->Profile);
    Session.ConnectToServer(linkServer_.get());
    if (saved != nullptr || !Session.FTP.Connected() || !Servers) return;
    if (AskYesNo(ApplicationTitle, Substitute(Translated("TfrmMain", "Save %1 as a server profile?"), {link->Address()})) !=
        IDYES)
        return;
    auto profile = std::make_unique<TFTPServer>(*linkServer_);
    profile->Name = FreeProfileName(Servers->ServerList, link->Profile.Hostname);
    profile->StartDir.clear();  // the link's folder was this visit's, not the server's
    const std::string name = profile->Name;
    Servers->ServerList.Add(name, std::move(profile));
    FillServerMenu();
}
