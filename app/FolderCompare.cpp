#include "app/FolderCompare.h"

#include <QBrush>
#include <QFileInfo>
#include <QTimer>

#include "localpane/LocalFileList.h"
#include "session/RemoteListView.h"
#include "session/SessionController.h"
#include "transfer/EntryNames.h"
#include "util/ui/UiUtils.h"

namespace {

// Null when the local folder has no entry of that name. A local file's
// time is cut to the second, so its true time lies up to a second later.
bool LocalEntry(const std::string& path, TRemoteEntry& entry) {
    const QFileInfo info(ToQt(path));
    if (!info.exists()) return false;
    entry.name = FromQt(info.fileName());
    entry.isFolder = info.isDir();
    entry.size = entry.isFolder ? 0 : info.size();
    entry.modifiedUtc.reset();
    if (info.lastModified().isValid()) entry.modifiedUtc = info.lastModified().toSecsSinceEpoch();
    entry.timePrecision = 1;
    return true;
}

// A link's listed size is that of the link, not of what it leads to:
// nothing to compare.
bool Comparable(const TRemoteEntry& entry) { return !entry.isLink && entry.name != "." && entry.name != ".."; }

}  // namespace

TFolderCompare::TFolderCompare(TSessionController& session, TLocalFileList* localFiles, TRemoteListView* remoteList,
                               QObject* parent)
    : QObject(parent), session_(session), localFiles_(localFiles), remoteList_(remoteList) {
    const auto refilled = [this] {
        if (on_) Schedule();
    };
    for (QAbstractItemModel* model :
         {static_cast<QAbstractItemModel*>(localFiles_->model()), static_cast<QAbstractItemModel*>(remoteList_->Model())}) {
        connect(model, &QAbstractItemModel::modelReset, this, refilled);
        connect(model, &QAbstractItemModel::rowsInserted, this, refilled);
    }
    remoteList_->Model()->RowColour = [this](int row, int role) { return RemoteColour(row, role); };
}

// The list may outlive this object while the window is taken down.
TFolderCompare::~TFolderCompare() {
    if (remoteList_) remoteList_->Model()->RowColour = nullptr;
}

void TFolderCompare::SetOn(bool on) {
    if (on == on_) return;
    on_ = on;
    session_.KeepListedEntries = on;
    if (!on) {
        session_.ListedEntries.clear();
        session_.ListedEntries.shrink_to_fit();
    }
    // The listing on show was read without its facts.
    if (on && session_.FTP.Connected() && RefreshRemote) RefreshRemote();
    Recolour();
}

QColor TFolderCompare::Colour(TEntryDifference difference) {
    switch (difference) {
        case TEntryDifference::Same: return {226, 226, 226};
        case TEntryDifference::OnlyHere: return {188, 212, 255};
        case TEntryDifference::NewerHere: return {180, 232, 180};
        case TEntryDifference::SizeDiffers: return {255, 206, 150};
        case TEntryDifference::OlderHere: break;
    }
    return {};
}

QString TFolderCompare::Legend() const {
    const std::pair<TEntryDifference, QString> parts[] = {{TEntryDifference::NewerHere, tr("newer here")},
                                                          {TEntryDifference::OnlyHere, tr("only here")},
                                                          {TEntryDifference::SizeDiffers, tr("size differs")},
                                                          {TEntryDifference::Same, tr("same")}};
    QString legend = tr("Compare:");
    for (const auto& [difference, text] : parts)
        legend += QStringLiteral(" <span style=\"background-color:%1; color:black\">&nbsp;%2&nbsp;</span>")
                      .arg(Colour(difference).name(), text.toHtmlEscaped());
    return legend;
}

void TFolderCompare::Schedule() {
    if (scheduled_) return;
    scheduled_ = true;
    // After the list's filling has ended: one pass for the whole of it.
    QTimer::singleShot(0, this, [this] {
        scheduled_ = false;
        Recolour();
    });
}

void TFolderCompare::Recolour() {
    CompareRemoteEntries();
    CompareLocalFiles();
    remoteList_->Model()->RepaintRows();
}

// Without a session there is no other side to compare with.
void TFolderCompare::CompareLocalFiles() {
    const bool comparing = on_ && session_.FTP.Connected();
    std::unordered_map<std::string, const TRemoteEntry*> remote;
    if (comparing)
        for (const TRemoteEntry& entry : session_.ListedEntries) remote.emplace(entry.name, &entry);
    const std::string folder = LocalFolder ? LocalFolder() : std::string();
    for (int i = 0; i < localFiles_->count(); ++i) {
        QTreeWidgetItem* item = localFiles_->item(i);
        QColor colour;
        TRemoteEntry local;
        if (comparing && LocalEntry(JoinPath(folder, FromQt(item->text(TLocalFileList::colName))), local)) {
            const auto there = remote.find(local.name);
            const TRemoteEntry* other = there != remote.end() ? there->second : nullptr;
            if (other == nullptr || Comparable(*other)) colour = Colour(CompareEntry(local, other, ToleranceSeconds));
        }
        TLocalFileList::SetLineData(item, Qt::BackgroundRole, colour.isValid() ? QVariant(QBrush(colour)) : QVariant());
        TLocalFileList::SetLineData(item, Qt::ForegroundRole, colour.isValid() ? QVariant(QBrush(Qt::black)) : QVariant());
    }
}

void TFolderCompare::CompareRemoteEntries() {
    remote_.clear();
    if (!on_ || !session_.FTP.Connected()) return;
    const std::string folder = LocalFolder ? LocalFolder() : std::string();
    for (const TRemoteEntry& entry : session_.ListedEntries) {
        if (!Comparable(entry) || !IsSafeEntryName(entry.name)) continue;
        TRemoteEntry local;
        const bool here = !folder.empty() && LocalEntry(JoinPath(folder, entry.name), local);
        remote_[entry.name] = CompareEntry(entry, here ? &local : nullptr, ToleranceSeconds);
    }
}

QVariant TFolderCompare::RemoteColour(int row, int role) const {
    if (remote_.empty()) return {};
    const auto found = remote_.find(remoteList_->Caption(row));
    if (found == remote_.end()) return {};
    const QColor colour = Colour(found->second);
    if (!colour.isValid()) return {};
    return role == Qt::BackgroundRole ? QBrush(colour) : QBrush(Qt::black);
}
