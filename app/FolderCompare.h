#pragma once
// The comparison of the two panes' current folders. While it is on, every
// file of the local list and every entry of the remote list is coloured by
// how it stands against its namesake on the other side: newer here, only
// here, size differs, or the same. The older copy of a pair of equal size
// keeps the plain colours; its partner shows "newer". Both lists are
// coloured again whenever either is filled anew (another folder, a refresh,
// a transfer's end).
//
// The remote side is judged by the listing's own facts (exact size, UTC
// time and its precision), which the session keeps while the comparison is
// on; the local side by the files on disk, whatever the list's filter hides.

#include <QColor>
#include <QCoreApplication>
#include <QObject>
#include <QPointer>
#include <QVariant>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>

#include "session/RemoteListView.h"
#include "transfer/EntryComparison.h"

class TLocalFileList;
class TSessionController;

class TFolderCompare : public QObject {
    Q_DECLARE_TR_FUNCTIONS(TFolderCompare)

public:
    // Beyond the listing's precision: file systems that keep even seconds
    // only, and servers that round rather than cut.
    static constexpr std::int64_t ToleranceSeconds = 2;

    TFolderCompare(TSessionController& session, TLocalFileList* localFiles, TRemoteListView* remoteList, QObject* parent);
    ~TFolderCompare() override;
    TFolderCompare(const TFolderCompare&) = delete;
    TFolderCompare& operator=(const TFolderCompare&) = delete;

    // The local pane's current folder.
    std::function<std::string()> LocalFolder;
    // Lists the remote folder again (turning on needs the listing's facts).
    std::function<void()> RefreshRemote;

    bool On() const { return on_; }
    void SetOn(bool on);
    // The background a difference is shown with; invalid for none.
    static QColor Colour(TEntryDifference difference);
    // The status bar's legend: each colour with what it means.
    QString Legend() const;

private:
    void Schedule();
    void Recolour();
    void CompareLocalFiles();
    void CompareRemoteEntries();
    QVariant RemoteColour(int row, int role) const;

    TSessionController& session_;
    TLocalFileList* localFiles_;
    QPointer<TRemoteListView> remoteList_;
    bool on_ = false;
    bool scheduled_ = false;
    std::unordered_map<std::string, TEntryDifference> remote_;
};
