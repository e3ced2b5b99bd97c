// Reading a finished listing into the remote list: one entry per line of the
// Unix long format or of MLSD, links resolved by asking the server for their
// size, and "." and ".." always present.
#include <sys/stat.h>

#include <QDateTime>
#include <QFileIconProvider>
#include <QLocale>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "ftp/FtpRemoteEntry.h"
#include "session/ListingLine.h"
#include "session/RemoteListView.h"
#include "session/SessionController.h"
#include "transfer/ListingEntries.h"
#include "util/MiscUtils.h"
#include "util/ui/TypeIcons.h"
#include "util/ui/UiUtils.h"

namespace {

// MLSD's time is UTC; the user reads it in the local zone, to the minute.
std::string LocalTimeText(std::int64_t utc) {
    const QDateTime local = QDateTime::fromSecsSinceEpoch(utc).toLocalTime();
    return QLocale::c().toString(local, QStringLiteral("MMM d yyyy hh:mm")).toStdString();
}

// The listing's permission column: the kind letter, then the mode where the
// server gave one.
std::string PermissionText(const FtpRemoteEntry& entry) {
    std::string text(1, entry.Type == TFtpEntryType::Folder ? 'd' : entry.Type == TFtpEntryType::Link ? 'l' : '-');
    if (entry.UnixMode < 0) return text;
    for (int bit = 8; bit >= 0; --bit) text += (entry.UnixMode >> bit & 1) != 0 ? "rwx"[(8 - bit) % 3] : '-';
    return text;
}

bool StartsWithLetter(std::string_view text, char upper) {
    return !text.empty() && (text[0] == upper || text[0] == static_cast<char>(upper - 'A' + 'a'));
}

// Closes the listing file and deletes it, whichever way the reading ends.
class ListingFile {
public:
    explicit ListingFile(const std::string& name) : name_(name), file_(std::fopen(name.c_str(), "rb")) {}
    ~ListingFile() {
        std::free(line_);
        if (file_ != nullptr) std::fclose(file_);
        if (file_ != nullptr) std::remove(name_.c_str());
    }
    ListingFile(const ListingFile&) = delete;
    ListingFile& operator=(const ListingFile&) = delete;

    bool IsOpen() const { return file_ != nullptr; }
    std::size_t Size() const {
        struct stat info {};
        return ::fstat(::fileno(file_), &info) == 0 && info.st_size > 0 ? static_cast<std::size_t>(info.st_size) : 0;
    }
    // The next line without its line end; false at the end or on a read error.
    bool Next(std::string_view& line) {
        const ssize_t read = getline(&line_, &capacity_, file_);
        if (read < 0) return false;
        std::size_t length = static_cast<std::size_t>(read);
        if (length > 0 && line_[length - 1] == '\n') --length;
        if (length > 0 && line_[length - 1] == '\r') --length;
        line = std::string_view(line_, length);
        return true;
    }

private:
    std::string name_;
    std::FILE* file_;
    char* line_ = nullptr;
    std::size_t capacity_ = 0;
};

}  // namespace

void TSessionController::ParseListing(const std::string& fileName) {
    if (W.lvServerFiles == nullptr) return;
    ListingFile file(fileName);
    if (!file.IsOpen()) return;
    TRemoteListView& view = *W.lvServerFiles;
    view.Clear();
    listingTypes_.clear();
    seenDot_ = false;
    seenDotDot_ = false;
    linkTypeSet_ = false;
    LoadListingIcons();

    // A listing line is rarely shorter than 40 bytes.
    view.BeginUpdate(file.Size() / 40 + 2);
    ListedEntries.clear();
    const std::int64_t now = QDateTime::currentSecsSinceEpoch();
    std::string_view line;
    while (file.Next(line)) {
        if (DebugLog) AddLogLine("FTP_ProcessDir: " + std::string(line), TLogKind::Debug);
        if (KeepListedEntries) KeepEntries(line, now);
        if (FTP.ListedByMlsd()) {
            AddMachineItem(line);
            continue;
        }
        if (line.empty() || IsListingTotalLine(line)) continue;
        const TListingFields f = SplitListingLine(line);
        if (f.highest < 0) continue;
        std::string modified;
        for (int i = 5; i <= 7; ++i) {
            if (f.field[i].empty()) continue;
            if (!modified.empty()) modified += ' ';
            modified += f.field[i];
        }
        AddRemoteItem(std::string(f.Name()), std::string(f.field[0]), f.field[2], f.field[3], std::string(f.field[4]), modified);
    }
    if (!seenDot_) AddRemoteItem(".", "drwxrwxrwx", {}, {}, {}, {});
    if (!seenDotDot_) AddRemoteItem("..", "drwxrwxrwx", {}, {}, {}, {});
    view.EndUpdate();
}

void TSessionController::KeepEntries(std::string_view line, std::int64_t nowUtc) {
    std::vector<TRemoteEntry> entries = FTP.ListedByMlsd() ? ParseMachineListingEntries(line) : ParseListingEntries(line, nowUtc);
    for (TRemoteEntry& entry : entries) ListedEntries.push_back(std::move(entry));
}

void TSessionController::AddMachineItem(std::string_view line) {
    FtpRemoteEntry entry;
    if (!ParseMlsdLine(line, entry)) return;
    std::string name = entry.Name;
    if (entry.Type == TFtpEntryType::Link && !entry.LinkTarget.empty()) name += " -> " + entry.LinkTarget;
    const std::string size = entry.Size >= 0 ? std::to_string(entry.Size) : std::string();
    const std::string modified = entry.ModifyUtc ? LocalTimeText(*entry.ModifyUtc) : std::string();
    AddRemoteItem(std::move(name), PermissionText(entry), {}, {}, size, modified);
}

// The folder icon and the generic file icon of a new listing.
void TSessionController::LoadListingIcons() {
    TRemoteFileModel& model = *W.lvServerFiles->Model();
    QString unused;
    QIcon folder;
    LookUpTypeIcon(FolderIconKey, folder, unused);
    if (folder.isNull()) LookUpTypeIcon(DirectoryIconKey, folder, unused);
    FolderIconIndex = model.AddIcon(folder);
    QIcon file;
    LookUpTypeIcon(".txt", file, unused);
    // Without an icon theme, the widget style's plain file still tells files
    // from folders at a glance.
    if (file.isNull()) file = QFileIconProvider().icon(QFileIconProvider::File);
    FileIconIndex = model.AddIcon(file);
    folderType_ = model.AddType(tr("Folder"));
}

void TSessionController::AddRemoteItem(std::string name, std::string permission, std::string_view owner, std::string_view group,
                                       std::string size, std::string_view modified) {
    std::string link;
    std::string target;
    bool hasTarget = false;
    if (StartsWithLetter(permission, 'L')) {
        const std::size_t arrow = name.find(" -> ");
        if (arrow != std::string::npos) {
            target = name.substr(arrow + 4);
            name.resize(arrow);
            hasTarget = true;
        }
        const std::int64_t linkSize = ResolveLinkSize(name);
        if (linkSize == 0) {
            permission[0] = 'd';
        } else {
            permission[0] = '-';
            size = std::to_string(linkSize);
        }
        if (hasTarget) link = Translated("TRemoteFileModel", "Link to ") + target;
    }
    const bool dot = name == ".";
    const bool dotDot = name == "..";
    seenDot_ = seenDot_ || dot;
    seenDotDot_ = seenDotDot_ || dotDot;

    TRemoteItem item;
    item.name = name;
    item.permission = permission;
    item.owner = owner;
    item.group = group;
    item.size = size;
    item.modified = modified;
    item.link = link;
    if (dot || dotDot || StartsWithLetter(permission, 'D')) {
        item.icon = FolderIconIndex;
        item.type = folderType_;
    } else {
        const TypeOfExtension& type = TypeOf(ExtensionOf(hasTarget ? target : name));
        item.icon = type.icon;
        item.type = type.text;
    }
    W.lvServerFiles->Model()->AddItem(item);
}

// The size the server gives for a link; 0 when it refuses, or when the
// command could not run before this line is shown (starting mode, engine
// busy): such links show as folders.
std::int64_t TSessionController::ResolveLinkSize(const std::string& name) {
    // Queued on a closed session, the command would only be dropped.
    if (!FTP.Connected()) return 0;
    // Servers may refuse SIZE in ASCII mode, where every listing leaves the
    // session, and would show every link to a file as a folder; the next
    // transfer or listing sets its own type again.
    if (!linkTypeSet_) {
        QueueSetType(true);
        linkTypeSet_ = true;
    }
    const std::uint64_t before = sizeRepliesSeen_;
    QueueFileSize(name);
    return sizeRepliesSeen_ != before ? FTP.RemoteFileSize() : 0;
}

// Type text and icon per extension, looked up once per listing: a large
// folder holds thousands of files of a handful of types.
const TSessionController::TypeOfExtension& TSessionController::TypeOf(const std::string& extension) {
    const auto found = listingTypes_.find(extension);
    if (found != listingTypes_.end()) return found->second;
    TRemoteFileModel& model = *W.lvServerFiles->Model();
    QString text = QString::fromLocal8Bit(DefaultTypeText(extension).c_str());
    QIcon icon;
    if (!extension.empty()) LookUpTypeIcon(TypeLookupExtension(extension), icon, text);
    TypeOfExtension type{model.AddType(text), icon.isNull() ? FileIconIndex : model.AddIcon(icon)};
    return listingTypes_.emplace(extension, type).first->second;
}
