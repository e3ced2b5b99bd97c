// The local pane's controls and how they follow one another: volume box,
// folder list, filter box and file list.
#include "localpane/LocalPane.h"

#include <QComboBox>
#include <QDir>
#include <QFileIconProvider>
#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QStorageInfo>
#include <QVBoxLayout>
#include <stdexcept>

#include "util/ui/UiUtils.h"

namespace {

struct Filter {
    const char* name;
    const char* mask;
};

constexpr Filter kFilters[] = {
    {QT_TRANSLATE_NOOP("TLocalPane", "Web files"),
     "*.htm*;*.shtml;*.asp;*.css;*.phtml;*.txt;*.cgi;*.pl;*.gif;*.jpg;*.bmp;*.png;*.mpg;*.avi;*.mov;*.mpeg;*.mp3;*.mp2;"
     "*.au;*.snd;*.ra;*.wav"},
    {QT_TRANSLATE_NOOP("TLocalPane", "HTML files"), "*.htm;*.shtml;*.asp;*.css;*.phtml"},
    {QT_TRANSLATE_NOOP("TLocalPane", "Text files"), "*.txt;*.log;*.diz"},
    {QT_TRANSLATE_NOOP("TLocalPane", "CGI files"), "*.cgi;*.pl"},
    {QT_TRANSLATE_NOOP("TLocalPane", "Images, Sounds and Movies"),
     "*.jpg;*.gif;*.bmp;*.png;*.mpg;*.avi;*.mov;*.mpeg;*.mp3;*.mp2;*.au;*.snd;*.ra;*.wav"},
    {QT_TRANSLATE_NOOP("TLocalPane", "All files"), "*.*"},
};

constexpr int kPathRole = Qt::UserRole;
constexpr int kFolderListHeight = 73;

// "*.*" means every file; on this system names need not have a dot.
QStringList MaskPatterns(const char* mask) {
    QStringList patterns = QString::fromLatin1(mask).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : patterns)
        if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
    return patterns;
}

QString VolumeOf(const QString& folder) { return QStorageInfo(folder).rootPath(); }

}  // namespace

TLocalPane::TLocalPane(QWidget* window) : QWidget(window), Recycle(RecycleFile), window_(window) {
    BuildWidgets();
    BuildMenus();
    BindWidgets();
}

void TLocalPane::BuildWidgets() {
    // The controls stack 2 pixels apart, the file list taking the height down
    // to 3 pixels above the pane's bottom.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 4, 3);
    layout->setSpacing(2);
    lblLocal = new QLabel(tr("Local:"), this);
    cbLocalDrive = new QComboBox(this);
    lbDirectory = new QListWidget(this);
    lbDirectory->setIconSize(QSize(16, 16));
    // A folder dragged onto the server's list is uploaded with its contents.
    lbDirectory->setDragEnabled(true);
    lbDirectory->setDragDropMode(QAbstractItemView::DragOnly);
    cbFilter = new QComboBox(this);
    lbFiles = new TLocalFileList(this);
    lbFiles->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lbFiles->setDragEnabled(true);
    lbFiles->setAcceptDrops(true);
    lbFiles->setDragDropMode(QAbstractItemView::DragDrop);
    lbFiles->setDefaultDropAction(Qt::CopyAction);
    lbFiles->setIconSize(QSize(16, 16));
    layout->addWidget(lblLocal);
    layout->addWidget(cbLocalDrive);
    // The folder list starts at its old four rows; the splitter lets a deep
    // tree have more room.
    splLocal = new QSplitter(Qt::Vertical, this);
    splLocal->setChildrenCollapsible(false);
    auto* files = new QWidget(splLocal);
    auto* filesLayout = new QVBoxLayout(files);
    filesLayout->setContentsMargins(0, 0, 0, 0);
    filesLayout->setSpacing(2);
    filesLayout->addWidget(cbFilter);
    filesLayout->addWidget(lbFiles, 1);
    splLocal->addWidget(lbDirectory);
    splLocal->addWidget(files);
    splLocal->setStretchFactor(1, 1);
    splLocal->setSizes({kFolderListHeight, 1000});
    layout->addWidget(splLocal, 1);
    setMinimumWidth(60);
}

void TLocalPane::FillLocalDrives() {
    const QSignalBlocker quiet(cbLocalDrive);
    cbLocalDrive->clear();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        cbLocalDrive->addItem(volume.rootPath(), volume.rootPath());
    }
    if (cbFilter->count() == 0) {
        for (const Filter& filter : kFilters) cbFilter->addItem(tr(filter.name));
        cbFilter->setCurrentIndex(0);
    }
}

std::string TLocalPane::LocalDrive() const { return FromQt(cbLocalDrive->currentData().toString()); }

void TLocalPane::SetLocalDrive(const std::string& root) {
    const int index = cbLocalDrive->findData(ToQt(root));
    if (index < 0) throw std::runtime_error(Substitute(Translated("TLocalPane", "No such volume: %1"), {root}));
    {
        const QSignalBlocker quiet(cbLocalDrive);
        cbLocalDrive->setCurrentIndex(index);
    }
    // The folder moves to the volume unless it is on it already.
    if (localDir_.empty() || VolumeOf(ToQt(localDir_)) != ToQt(root)) SetLocalDir(root);
}

void TLocalPane::SetLocalDir(const std::string& folder) {
    const QDir dir(ToQt(folder));
    if (folder.empty() || !dir.exists() || !dir.isReadable())
        throw std::runtime_error(Substitute(Translated("TLocalPane", "Cannot open folder %1"), {folder}));
    localDir_ = FromQt(dir.absolutePath());
    const int drive = cbLocalDrive->findData(VolumeOf(dir.absolutePath()));
    if (drive >= 0) {
        const QSignalBlocker quiet(cbLocalDrive);
        cbLocalDrive->setCurrentIndex(drive);
    }
    FillLocalFolders();
    RefreshLocalFiles();
}

void TLocalPane::RefreshLocalFolders() { FillLocalFolders(); }

// The folder list shows the path down to the current folder, then its
// subfolders one step further in.
void TLocalPane::FillLocalFolders() {
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
        AddFolderLine(folderIcon, depth, name, path);
        ++depth;
    }
    lbDirectory->setCurrentRow(lbDirectory->count() - 1);
    const QDir current(ToQt(localDir_));
    for (const QString& sub : current.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        AddFolderLine(folderIcon, depth, sub, current.absoluteFilePath(sub));
    }
    lbDirectory->scrollToItem(lbDirectory->currentItem());
}

// Blanks indent the tree; a screen reader says the name alone.
void TLocalPane::AddFolderLine(const QIcon& icon, int depth, const QString& name, const QString& path) {
    auto* item = new QListWidgetItem(icon, QString(depth * 2, QLatin1Char(' ')) + name, lbDirectory);
    item->setData(kPathRole, path);
    item->setData(Qt::AccessibleTextRole, name);
}

void TLocalPane::SetLocalFilter(int index) {
    if (index < 0 || index >= static_cast<int>(std::size(kFilters))) throw std::runtime_error("No such filter");
    const QSignalBlocker quiet(cbFilter);
    cbFilter->setCurrentIndex(index);
    RefreshLocalFiles();
}

void TLocalPane::RefreshLocalFiles() {
    lbFiles->clear();
    if (localDir_.empty()) return;
    const int filter = std::max(0, cbFilter->currentIndex());
    const QDir dir(ToQt(localDir_));
    static const QFileIconProvider icons;
    const QIcon fileIcon = icons.icon(QFileIconProvider::File);
    for (const QString& name :
         dir.entryList(MaskPatterns(kFilters[filter].mask), QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase)) {
        lbFiles->AddFile(fileIcon, name, dir.absoluteFilePath(name));
    }
}

// The folder the menu and the keys act on is the list's current line, the
// one the user clicked, which need not be the open folder.
std::string TLocalPane::ClickedFolder() const {
    const QListWidgetItem* item = lbDirectory->currentItem();
    return item != nullptr ? FromQt(item->data(kPathRole).toString()) : localDir_;
}

std::string TLocalPane::LocalFolderPath(int levels) const {
    std::string path = localDir_;
    for (int level = 0; level < levels; ++level) {
        const std::size_t cut = path.rfind('/');
        if (cut == std::string::npos) break;
        path.resize(cut);
    }
    return path.empty() && !localDir_.empty() ? std::string("/") : path;
}

std::vector<std::string> TLocalPane::SelectedFileNames() const {
    std::vector<std::string> names;
    for (int row = 0; row < lbFiles->count(); ++row)
        if (lbFiles->item(row)->isSelected()) names.push_back(FromQt(lbFiles->item(row)->text(TLocalFileList::colName)));
    return names;
}

// A failure to open leaves the pane as it was.
void TLocalPane::BindWidgets() {
    FillLocalDrives();
    connect(cbLocalDrive, &QComboBox::activated, this, [this](int index) {
        try {
            SetLocalDrive(FromQt(cbLocalDrive->itemData(index).toString()));
        } catch (const std::exception&) {
            // A volume that went away: the pane keeps showing the last one.
        }
    });
    connect(lbDirectory, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        try {
            SetLocalDir(FromQt(item->data(kPathRole).toString()));
        } catch (const std::exception&) {
            // A folder removed meanwhile or not readable: nothing to open.
        }
    });
    connect(cbFilter, &QComboBox::activated, this, [this](int index) { SetLocalFilter(index); });
    connect(lbFiles, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem*, int) { lbFilesDblClick(); });
    for (QWidget* watched : {static_cast<QWidget*>(lbDirectory), static_cast<QWidget*>(lbFiles), lbFiles->viewport()})
        watched->installEventFilter(this);
    try {
        SetLocalDir(FromQt(QDir::currentPath()));
    } catch (const std::exception&) {
        // A start folder that cannot be read leaves the pane empty.
    }
}
