// The synchronisation plan as a table: two trees and options in, the
// printed actions out, in the order they run.
#include <gtest/gtest.h>

#include "transfer/SyncPlan.h"

namespace {

constexpr std::int64_t kNoon = 1700000000;

// "f:name:size:time" a file (time in seconds after kNoon; precision 1),
// "F:..." the same with a listing's minute precision, "d:name" a folder.
TFileTree Tree(const std::vector<std::string>& lines) {
    TFileTree tree;
    for (const std::string& line : lines) {
        TRemoteEntry entry;
        const char kind = line[0];
        std::string rest = line.substr(2);
        const auto colon = rest.find(':');
        const std::string path = rest.substr(0, colon);
        entry.name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
        entry.isFolder = kind == 'd';
        if (!entry.isFolder) {
            rest = rest.substr(colon + 1);
            entry.size = std::stoll(rest.substr(0, rest.find(':')));
            entry.modifiedUtc = kNoon + std::stoll(rest.substr(rest.find(':') + 1));
            entry.timePrecision = kind == 'F' ? 60 : 1;
        }
        tree.entries[path] = entry;
    }
    return tree;
}

std::vector<std::string> Plan(const TFileTree& source, const TFileTree& target, TSyncOptions options) {
    std::vector<std::string> lines;
    for (const TSyncAction& action : BuildSyncPlan(source, target, options)) lines.push_back(FormatSyncAction(action));
    return lines;
}

TSyncOptions Up(bool deleteExtra = false, TSyncCompare compare = TSyncCompare::SizeAndTime) {
    TSyncOptions options;
    options.upload = true;
    options.deleteExtra = deleteExtra;
    options.compare = compare;
    return options;
}

}  // namespace

TEST(SyncPlan, FilesAreComparedBySizeAndTimeWithinTheListingsPrecision) {
    // The server's copy lists to the minute: 50 s either way is the same time.
    const TFileTree local = Tree({"f:same:10:50", "f:edited:10:200", "f:grown:12:0", "f:older:10:-500", "f:new:3:0"});
    const TFileTree remote = Tree({"F:same:10:0", "F:edited:10:0", "F:grown:10:0", "F:older:10:0"});
    EXPECT_EQ(Plan(local, remote, Up()), (std::vector<std::string>{
                                             "upload    edited  (10 bytes; newer)",
                                             "upload    grown  (12 bytes; size differs)",
                                             "upload    new  (3 bytes; not in the target)",
                                             "skip      older  (10 bytes; unchanged)",
                                             "skip      same  (10 bytes; unchanged)",
                                         }));
    EXPECT_EQ(Plan(local, remote, Up(false, TSyncCompare::SizeOnly)),
              (std::vector<std::string>{"upload    grown  (12 bytes; size differs)",
                                        "upload    new  (3 bytes; not in the target)", "skip      edited  (10 bytes; unchanged)",
                                        "skip      older  (10 bytes; unchanged)", "skip      same  (10 bytes; unchanged)"}));
    // Only newer: a grown file whose time is not newer stays.
    EXPECT_EQ(Plan(local, remote, Up(false, TSyncCompare::OnlyNewer)),
              (std::vector<std::string>{"upload    edited  (10 bytes; newer)", "upload    new  (3 bytes; not in the target)",
                                        "skip      grown  (12 bytes; unchanged)", "skip      older  (10 bytes; unchanged)",
                                        "skip      same  (10 bytes; unchanged)"}));
}

TEST(SyncPlan, WhereTimesAreKeptAndExactAnOlderSourceIsAChangeToo) {
    const TFileTree local = Tree({"f:older:10:-500", "f:close:10:-1", "f:listed:10:-500"});
    const TFileTree remote = Tree({"f:older:10:0", "f:close:10:0", "F:listed:10:0"});
    TSyncOptions kept = Up();
    kept.timesKept = true;
    // A listing's minutes are no exact time: the server's newer copy stays.
    EXPECT_EQ(Plan(local, remote, kept),
              (std::vector<std::string>{"upload    older  (10 bytes; time differs)", "skip      close  (10 bytes; unchanged)",
                                        "skip      listed  (10 bytes; unchanged)"}));
    kept.compare = TSyncCompare::OnlyNewer;
    EXPECT_EQ(Plan(local, remote, kept).back(), "skip      older  (10 bytes; unchanged)");
}

TEST(SyncPlan, DeletesOnlyWithDeleteAndBeforeEverythingElse) {
    const TFileTree local = Tree({"d:site", "f:site/Index.html:5:0", "d:site/new", "f:site/new/a:1:0"});
    const TFileTree remote = Tree({"d:site", "F:site/index.html:5:0", "d:old", "d:old/deep", "F:old/deep/x:1:0"});
    EXPECT_EQ(Plan(local, remote, Up()), (std::vector<std::string>{
                                             "mkdir     site/new/  (not in the target)",
                                             "upload    site/Index.html  (5 bytes; not in the target)",
                                             "upload    site/new/a  (1 bytes; not in the target)",
                                         }));
    // Names that differ only in letter case are different names; the old one
    // goes first, so a server that ignores case keeps the new upload.
    EXPECT_EQ(Plan(local, remote, Up(true)), (std::vector<std::string>{
                                                 "delete    old/deep/x  (1 bytes; not in the source)",
                                                 "delete    old/deep/  (not in the source)",
                                                 "delete    site/index.html  (5 bytes; not in the source)",
                                                 "delete    old/  (not in the source)",
                                                 "mkdir     site/new/  (not in the target)",
                                                 "upload    site/Index.html  (5 bytes; not in the target)",
                                                 "upload    site/new/a  (1 bytes; not in the target)",
                                             }));
}

TEST(SyncPlan, AFileThatBecameAFolderIsAConflictUnlessDeletingIsAllowed) {
    const TFileTree remote = Tree({"d:img", "F:img/a.png:4:0", "F:doc:7:0"});
    const TFileTree local = Tree({"f:img:9:0", "d:doc", "f:doc/x:1:0"});
    TSyncOptions down;
    EXPECT_EQ(Plan(remote, local, down), (std::vector<std::string>{
                                             "conflict  doc  (7 bytes; a file in the source, a folder in the target)",
                                             "conflict  img/  (a folder in the source, a file in the target)",
                                         }));
    down.deleteExtra = true;
    EXPECT_EQ(Plan(remote, local, down), (std::vector<std::string>{
                                             "delete    doc/x  (1 bytes; not in the source)",
                                             "delete    doc/  (not in the source)",
                                             "delete    img  (9 bytes; not in the source)",
                                             "mkdir     img/  (not in the target)",
                                             "download  doc  (7 bytes; not in the target)",
                                             "download  img/a.png  (4 bytes; not in the target)",
                                         }));
}

TEST(SyncPlan, QueueItemsRunDeletionsThenFoldersParentFirstThenFiles) {
    const TFileTree local = Tree({"d:a", "d:a/b", "f:a/b/c:3:0"});
    const TFileTree remote = Tree({"d:z", "F:z/q:1:0"});
    const auto items = SyncPlanItems(BuildSyncPlan(local, remote, Up(true)), local, true, "/l", "/r");
    std::vector<std::string> order;
    for (const TTransferItem& item : items) order.push_back(std::to_string(item.stage) + " " + item.remotePath);
    EXPECT_EQ(order, (std::vector<std::string>{"0 /r/z/q", "3 /r/z", "4 /r/a", "5 /r/a/b", "7 /r/a/b/c"}));
    EXPECT_EQ(items.back().localPath, "/l/a/b/c");
}
