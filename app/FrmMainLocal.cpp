// The local pane: volume box, folder list, filter box and file list, kept in
// step with one another. Its context-menu operations live elsewhere.
#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QListWidget>
#include <QStorageInfo>
#include <stdexcept>

#include "app/FrmMain.h"
#include "util/UiUtils.h"

namespace {

struct Filter {
    const char* name;
    const char* mask;
};

constexpr Filter kFilters[] = {
    {"Web files",
     "*.htm*;*.shtml;*.asp;*.css;*.phtml;*.txt;*.cgi;*.pl;*.gif;*.jpg;*.bmp;*.png;*.mpg;*.avi;*.mov;*.mpeg;*.mp3;*.mp2;"
     "*.au;*.snd;*.ra;*.wav"},
    {"HTML files", "*.htm;*.shtml;*.asp;*.css;*.phtml"},
    {"Text files", "*.txt;*.log;*.diz"},
    {"CGI files", "*.cgi;*.pl"},
    {"Images, Sounds and Movies", "*.jpg;*.gif;*.bmp;*.png;*.mpg;*.avi;*.mov;*.mpeg;*.mp3;*.mp2;*.au;*.snd;*.ra;*.wav"},
    {"All files", "*.*"},
};

constexpr int kPathRole = Qt::UserRole;

// "*.*" means every file; on this system names need not have a dot.
QStringList MaskPatterns(const char* mask) {
    QStringList patterns = QString::fromLatin1(mask).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns)
        if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
    return patterns;
}

QString VolumeOf(const QString& folder) { return QStorageInfo(folder).rootPath(); }

}  // namespace

void TfrmMain::FillLocalDrives() {
    const QSignalBlocker quiet(cbLocalDrive);
    cbLocalDrive->clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        cbLocalDrive->addItem(volume.rootPath(), volume.rootPath());
    }
    if (cbFilter->count() == 0) {
        for (const Filter& filter : kFilters) cbFilter->addItem(QString::fromLatin1(filter.name));
        cbFilter->setCurrentIndex(0);
    }
}

std::string TfrmMain::LocalDrive() const { return FromQt(cbLocalDrive->currentData().toString()); }

void TfrmMain::SetLocalDrive(const std::string& root) {
    const int index = cbLocalDrive->findData(ToQt(root));
    if (index < 0) throw std::runtime_error("No such volume: " + root);
    {
        const QSignalBlocker quiet(cbLocalDrive);
        cbLocalDrive->setCurrentIndex(index);
    }
    // The folder moves to the volume unless it is on it already.
    if (localDir_.empty() || VolumeOf(ToQt(localDir_)) != ToQt(root)) SetLocalDir(root);
}

void TfrmMain::SetLocalDir(const std::string& folder) {
    const QDir dir(ToQt(folder));
    if (folder.empty() || !dir.exists() || !dir.isReadable()) throw std::runtime_error("Cannot open folder " + folder);
    localDir_ = FromQt(dir.absolutePath());
    const int drive = cbLocalDrive->findData(VolumeOf(dir.absolutePath()));
    if (drive >= 0) {
        const QSignalBlocker quiet(cbLocalDrive);
        cbLocalDrive->setCurrentIndex(drive);
    }
    FillLocalFolders();
    RefreshLocalFiles();
}

// The folder list shows the path down to the current folder, then its
// subfolders one step further in.
void TfrmMain::FillLocalFolders() {
    const QSignalBlocker quiet(lbDirectory);
    lbDirectory->clear();
    QStringList chain;
    for (QDir walk(ToQt(localDir_));;) {
        chain.prepend(walk.absolutePath());
        if (walk.isRoot() || !walk.cdUp()) break;
    }
    static const QFileIconProvider icons;
    const QIcon folderIcon = icons.icon(QFileIconProvider::Folder);
    int depth = 0;
    for (const QString& path : chain) {
        const QString name = depth == 0 ? path : QDir(path).dirName();
        auto* item = new QListWidgetItem(folderIcon, QString(depth * 2, QLatin1Char(' ')) + name, lbDirectory);
        item->setData(kPathRole, path);
        ++depth;
    }
    lbDirectory->setCurrentRow(lbDirectory->count() - 1);
    const QDir current(ToQt(localDir_));
    for (const QString& sub : current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QListWidgetItem(folderIcon, QString(depth * 2, QLatin1Char(' ')) + sub, lbDirectory);
        item->setData(kPathRole, current.absoluteFilePath(sub));
    }
    lbDirectory->scrollToItem(lbDirectory->currentItem());
}

void TfrmMain::SetLocalFilter(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kFilters))) throw std::runtime_error("No such filter");
    const QSignalBlocker quiet(cbFilter);
    cbFilter->setCurrentIndex(index);
    RefreshLocalFiles();
}

void TfrmMain::RefreshLocalFiles() {
    lbFiles->clear();
    if (localDir_.empty()) return;
    const int filter = std::max(0, cbFilter->currentIndex());
    const QDir dir(ToQt(localDir_));
    static const QFileIconProvider icons;
    const QIcon fileIcon = icons.icon(QFileIconProvider::File);
    for (const QString& name :
         dir.entryList(MaskPatterns(kFilters[filter].mask), QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase)) {
        auto* item = new QListWidgetItem(fileIcon, name, lbFiles);
        item->setData(kPathRole, dir.absoluteFilePath(name));
    }
}

// Wired from FormCreate's widgets once; a failure to open leaves the pane.
void TfrmMain::BindLocalPane() {
    FillLocalDrives();
    connect(cbLocalDrive, &QComboBox::activated, this, [this](int index) {
        try {
            SetLocalDrive(FromQt(cbLocalDrive->itemData(index).toString()));
        } catch (...) {
        }
    });
    connect(lbDirectory, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        try {
            SetLocalDir(FromQt(item->data(kPathRole).toString()));
        } catch (...) {
        }
    });
    connect(cbFilter, &QComboBox::activated, this, [this](int index) {
        try {
            SetLocalFilter(index);
        } catch (...) {
        }
    });
    try {
        SetLocalDir(FromQt(QDir::currentPath()));
    } catch (...) {
    }
}
