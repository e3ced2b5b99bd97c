// Synchronising the two panes' current folders. Both trees are walked
// first (the server's on a connection of its own, waited for in the message
// loop, so the window keeps answering), the plan is worked out and shown,
// and only what the user leaves ticked is handed to the transfer queue.
// The connection that walked goes on to transfer: no second log-in.
#include "session/FrmSyncPlan.h"
#include "session/FrmSynchronise.h"
#include "session/RemotePane.h"
#include "session/SessionController.h"
#include "session/SideConnection.h"
#include "transfer/LocalTreeWalker.h"
#include "util/ui/UiUtils.h"

namespace {

bool Approved(QDialog& dialog, QWidget* owner) {
    CenterOver(&dialog, owner);
    return dialog.exec() == QDialog::Accepted;
}

}  // namespace

void TRemotePane::SynchroniseFolders() {
    if (!session_.FTP.Connected() || Refused() || !LocalFolder) return;
    const std::string localRoot = LocalFolder();
    const std::string remoteRoot = session_.CurrentRemoteDir;
    TfrmSynchronise choice(window_);
    choice.SetFolders(localRoot, remoteRoot);
    if (!Approved(choice, window_)) return;
    TSyncOptions options = choice.Options();
    const TExcludeList excludes(choice.ExcludePatterns());

    TFileTree local;
    TLocalTreeWalker walker(excludes);
    // What a link drags in from elsewhere is no part of the site.
    if (options.upload) walker.StayInsideRoot();
    if (!walker.Walk(localRoot, local, false))
        return session_.ShowFailureText(Substitute(FromQt(tr("\"%1\" cannot be read: nothing was synchronised.")), {localRoot}));
    TTransferResult result;
    session_.SetBusyState(true);
    std::unique_ptr<TTransferConnection> connection = ConnectSide(session_.TransferEndpoint(), result);
    TFileTree remote;
    // Uploading over a link replaces the link, and deleting one removes
    // the link, never what it leads to.
    if (connection) result = WalkRemoteTree(*connection, remoteRoot, remote, options.upload, false, excludes);
    session_.SetBusyState(false);
    if (!connection)
        return session_.ShowFailureText(
            Substitute(FromQt(tr("Nothing was synchronised: no second connection to the server (%1)")), {result.text}));
    if (!result.Ok()) return session_.ShowFailureText(Substitute(FromQt(tr("Nothing was synchronised: %1")), {result.text}));
    for (const std::string& skipped : local.skipped) LogSkipped(JoinPath(localRoot, skipped), "not synchronised");
    for (const std::string& skipped : remote.skipped) LogSkipped(JoinPath(remoteRoot, skipped), "not synchronised");

    // Downloads always keep the server's times; uploads where the server
    // can set them (the queue below asks it to).
    options.timesKept = !options.upload || connection->CanSetModifyTime();
    const TFileTree& source = options.upload ? local : remote;
    const TFileTree& target = options.upload ? remote : local;
    TfrmSyncPlan review(window_);
    review.SetPlan(BuildSyncPlan(source, target, options));
    if (!Approved(review, window_)) return;
    std::vector<TTransferItem> items = SyncPlanItems(review.TickedActions(), source, options.upload, localRoot, remoteRoot);
    for (TTransferItem& item : items) item.keepTime = true;
    Enqueue(items, QT_TR_NOOP("%1 not synchronised:"), std::move(connection), {}, true);
}
