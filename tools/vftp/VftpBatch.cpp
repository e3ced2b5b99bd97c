#include "tools/vftp/VftpBatch.h"

#include <unistd.h>

#include <optional>

#include "ftp/FtpLocalTimes.h"
#include "platform/MessageLoop.h"
#include "tools/vftp/ConsoleOutput.h"
#include "tools/vftp/RunProgress.h"
#include "transfer/EntryNames.h"
#include "transfer/FtpTransferConnection.h"
#include "transfer/LocalTreeWalker.h"
#include "transfer/RemoteTreeWalker.h"
#include "transfer/SyncPlan.h"
#include "transfer/TransferQueue.h"
#include "util/MiscUtils.h"

namespace {

bool EndsWithSlash(const std::string& text) { return !text.empty() && text.back() == '/'; }

std::string WithoutSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

bool VftpBatch::Handles(const VftpOptions& options) {
    const auto& args = options.arguments;
    if (options.command == "mirror") return true;
    if (options.command == "rm") return options.recursive;
    if (options.command == "get") return args.size() >= 3 || (args.size() == 2 && args[1] != "-" && EndsWithSlash(args[1]));
    return options.command == "put" && args.size() >= 3;
}

int VftpBatch::Run() {
    if (options_.command == "mirror") return Mirror();
    if (options_.command == "get") return GetMany();
    if (options_.command == "put") return PutMany();
    return RemoveTree();
}

int VftpBatch::Failure(const std::string& text) const {
    PrintError("vftp: " + MaskPassword(text) + "\n");
    return 1;
}

int VftpBatch::Usage(const std::string& text) const {
    (void)Failure(text);
    return 2;
}

int VftpBatch::Resolve(const std::string& urlText) { return runner_.ResolveEndpoint(urlText, endpoint_, url_) ? 0 : 2; }

TTransferResult VftpBatch::Await(const std::function<void(TTransferCallback)>& start) {
    auto outcome = std::make_shared<std::optional<TTransferResult>>();
    start([outcome](const TTransferResult& result) { *outcome = result; });
    while (!*outcome) {
        platform::ProcessMessages();
        if (*outcome) break;
        browser_->CheckTimeout();
        (void)platform::WaitMessage(250);
    }
    return **outcome;
}

bool VftpBatch::ConnectBrowser() {
    browser_ = std::make_unique<TFtpTransferConnection>(endpoint_);
    const TTransferResult result = Await([this](TTransferCallback done) { browser_->Connect(std::move(done)); });
    if (result.Ok()) return true;
    Failure(result.text);
    return false;
}

std::string VftpBatch::RemoteRoot() const {
    const std::string path = WithoutSlash(url_.path);
    if (!path.empty() && path[0] == '/') return path;
    return JoinPath(browser_->HomeFolder(), path);
}

TTransferResult VftpBatch::WalkRemote(const std::string& root, TFileTree& tree, bool missingIsEmpty,
                                      const std::vector<std::string>& excludes) {
    TRemoteTreeWalker walker(*browser_, TExcludeList(excludes));
    return Await([&](TTransferCallback done) { walker.Walk(root, tree, missingIsEmpty, std::move(done)); });
}

void VftpBatch::ShowSkipped(const TFileTree& tree) const {
    for (const std::string& note : tree.skipped) PrintError("vftp: skipped " + note + "\n");
}

int VftpBatch::Mirror() {
    const bool up = options_.reverse;
    const auto& args = options_.arguments;
    if (const int status = Resolve(up ? args[1] : args[0])) return status;
    const std::string localRoot = WithoutSlash(up ? args[0] : args[1]);
    TFileTree local;
    TFileTree remote;
    if (!TLocalTreeWalker(TExcludeList(options_.excludes)).Walk(localRoot, local, !up))
        return Failure(localRoot + ": no folder that can be read");
    if (!ConnectBrowser()) return 1;
    const std::string remoteRoot = RemoteRoot();
    const TTransferResult walked = WalkRemote(remoteRoot, remote, up, options_.excludes);
    if (!walked.Ok()) return Failure(walked.text);
    ShowSkipped(up ? local : remote);

    TSyncOptions sync;
    sync.upload = up;
    sync.deleteExtra = options_.deleteExtra;
    sync.compare = options_.onlyNewer  ? TSyncCompare::OnlyNewer
                   : options_.sizeOnly ? TSyncCompare::SizeOnly
                                       : TSyncCompare::SizeAndTime;
    // A mirror keeps file times (RunItems): a download always can, an
    // upload where the server can set them.
    sync.timesKept = !up || browser_->CanSetModifyTime();
    const TFileTree& source = up ? local : remote;
    const TFileTree& target = up ? remote : local;
    const std::vector<TSyncAction> plan = BuildSyncPlan(source, target, sync);
    int skipped = 0;
    int conflicts = 0;
    for (const TSyncAction& action : plan) {
        if (action.kind == TSyncActionKind::Skip) ++skipped;
        if (action.kind == TSyncActionKind::Conflict) {
            ++conflicts;
            PrintError("vftp: " + FormatSyncAction(action) + "\n");
        }
    }
    if (options_.dryRun) {
        for (const TSyncAction& action : plan)
            if (action.kind != TSyncActionKind::Skip && action.kind != TSyncActionKind::Conflict)
                PrintOut(FormatSyncAction(action) + "\n");
        PrintOut("mirror: dry run, " + std::to_string(plan.size() - static_cast<std::size_t>(skipped + conflicts)) +
                 " actions, " + std::to_string(skipped) + " unchanged, " + std::to_string(conflicts) +
                 " conflicts; nothing changed\n");
        (void)Await([this](TTransferCallback done) { browser_->Disconnect(std::move(done)); });
        return conflicts == 0 ? 0 : 1;
    }
    std::vector<TTransferItem> items = SyncPlanItems(plan, source, up, localRoot, remoteRoot);
    if (target.rootMissing) {
        TTransferItem root;
        root.direction = up ? TTransferDirection::Upload : TTransferDirection::Download;
        root.action = TTransferAction::MakeFolder;
        root.localPath = localRoot;
        root.remotePath = remoteRoot;
        root.stage = -1;
        items.insert(items.begin(), root);
    }
    return RunItems(std::move(items), skipped, conflicts);
}

int VftpBatch::GetMany() {
    const auto& args = options_.arguments;
    const std::string folder = WithoutSlash(args.back());
    std::vector<TTransferItem> items;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        const TFtpEndpoint first = endpoint_;
        if (const int status = Resolve(args[i])) return status;
        if (i > 0 && (endpoint_.host != first.host || endpoint_.port != first.port || endpoint_.user != first.user))
            return Usage("get of several files takes files of one server and user: " + MaskedUrl(args[i]));
        const std::string name = url_.Name();
        if (!IsSafeEntryName(name)) return Usage(MaskedUrl(args[i]) + ": no file name at the end of the URL");
        TTransferItem item;
        item.direction = TTransferDirection::Download;
        item.remotePath = url_.path;
        item.localPath = JoinPath(folder, name);
        item.exists = options_.resume ? TFileExistsChoice::Resume : TFileExistsChoice::Overwrite;
        items.push_back(std::move(item));
    }
    return RunItems(std::move(items), 0, 0);
}

int VftpBatch::PutMany() {
    const auto& args = options_.arguments;
    if (const int status = Resolve(args.back())) return status;
    if (!url_.EndsWithSlash()) return Usage("put of several files needs a URL of a folder, ending in '/'");
    std::vector<TTransferItem> items;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        TTransferItem item;
        item.direction = TTransferDirection::Upload;
        item.localPath = args[i];
        item.remotePath = JoinPath(WithoutSlash(url_.path), BaseName(args[i]));
        item.size = FileSizeOf(args[i]);
        if (options_.preserve) item.modifiedUtc = LocalFileTime(args[i]);
        items.push_back(std::move(item));
    }
    return RunItems(std::move(items), 0, 0);
}

int VftpBatch::RemoveTree() {
    if (const int status = Resolve(options_.arguments[0])) return status;
    if (!ConnectBrowser()) return 1;
    const std::string root = RemoteRoot();
    if (root.empty() || root == "/" || root == browser_->HomeFolder())
        return Failure("rm -r refuses to delete the server's root or home folder");
    TFileTree tree;
    const TTransferResult walked = WalkRemote(root, tree, false, {});
    if (!walked.Ok()) return Failure(walked.text);
    TSyncOptions sync;
    sync.upload = true;
    sync.deleteExtra = true;
    std::vector<TTransferItem> items = SyncPlanItems(BuildSyncPlan({}, tree, sync), {}, true, "", root);
    TTransferItem folder;
    folder.direction = TTransferDirection::Upload;
    folder.action = TTransferAction::DeleteFolder;
    folder.remotePath = root;
    for (const TTransferItem& item : items) folder.stage = std::max(folder.stage, item.stage + 1);
    items.push_back(folder);
    if (options_.dryRun) {
        for (const TTransferItem& item : items) PrintOut("delete    " + item.remotePath + "\n");
        return 0;
    }
    return RunItems(std::move(items), 0, 0);
}

int VftpBatch::RunItems(std::vector<TTransferItem> items, int skipped, int conflicts) {
    TQueueSettings settings;
    settings.connections = options_.parallel;
    // A folder made like another keeps its files' times, so that the next
    // mirror compares them and finds nothing to do.
    settings.keepTimes = options_.command == "mirror" || options_.preserve;
    TTransferQueue queue([this] { return std::make_unique<TFtpTransferConnection>(endpoint_); }, settings);
    RunProgress progress(!options_.quiet && isatty(STDERR_FILENO), static_cast<int>(items.size()));
    queue.events.OnProgress = [&progress](const TTransferItem& item, std::int64_t bytes) { progress.Progress(item, bytes); };
    queue.events.OnDone = [&progress](const TTransferItem& item) { progress.Ended(item); };
    queue.events.OnFailed = [&progress](const TTransferItem& item) {
        progress.Ended(item);
        progress.Clear();
        const bool local = item.Local() || (item.action == TTransferAction::Transfer && item.remotePath.empty());
        PrintError("vftp: " + (local ? item.localPath : item.remotePath) + ": " + MaskPassword(item.lastError) + "\n");
    };
    if (options_.verbose)
        queue.events.OnNotice = [&progress](const std::string& text) {
            progress.Clear();
            PrintError("vftp: " + text + "\n");
        };
    for (TTransferItem& item : items) (void)queue.Add(std::move(item));
    // Paths of a session whose home folder is unknown are relative to the
    // folder it is in, which its walk changed: it is not reused.
    if (browser_ && !browser_->HomeFolder().empty() && browser_->Connected()) queue.Adopt(std::move(browser_));
    browser_.reset();
    queue.RunToEnd();
    progress.Finish();
    PrintOut(progress.Summary(options_.command, skipped, conflicts) + "\n");
    return progress.Failed() == 0 && conflicts == 0 ? 0 : 1;
}
