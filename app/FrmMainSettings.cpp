// The stored window position and pane layout.
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QListWidget>
#include <QSplitter>
#include <stdexcept>

#include "app/FrmMain.h"
#include "session/RemoteListView.h"
#include "util/ui/SettingsKey.h"
#include "util/ui/UiUtils.h"

namespace {

// Decimal, or hexadecimal after "0x"; `def` for anything else.
int ParseInteger(const std::string& text, int def) {
    try {
        std::size_t used = 0;
        const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
        const long value = std::stol(hex ? text.substr(2) : text, &used, hex ? 16 : 10);
        if (used != (hex ? text.size() - 2 : text.size()) || value < INT32_MIN || value > INT32_MAX) return def;
        return static_cast<int>(value);
    } catch (...) {
        return def;
    }
}

int ReadPosition(const TSettingsKey& key, const char* name, int def) {
    return ParseInteger(key.ReadString(name, std::to_string(def)), def);
}

}  // namespace

void TfrmMain::LoadWindowPosition() {
    const QString program = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    WindowPositionKey = std::string(ApplicationSettingsRoot) + FromQt(program) + ".INI\\" + FromQt(objectName()) + "\\";
    const TSettingsKey key(WindowPositionKey);
    // Left and top are the frame's corner, as move() takes them; width and
    // height the client size, as resize() takes them.
    const int width = ReadPosition(key, "Width", this->width());
    const int height = ReadPosition(key, "Height", this->height());
    const int left = ReadPosition(key, "Left", x());
    const int top = ReadPosition(key, "Top", y());
    resize(width, height);
    move(left, top);
    const QString state = ToQt(key.ReadString("MyWindowState", "False"));
    if (state.compare(QStringLiteral("True"), Qt::CaseInsensitive) == 0)
        setWindowState(windowState() | Qt::WindowMaximized);
    else
        setWindowState(windowState() & ~Qt::WindowMaximized);
}

// A maximized window keeps the normal position stored before, so that it
// returns there when restored.
void TfrmMain::SaveWindowPosition() {
    if (WindowPositionKey.empty()) return;
    TSettingsKey key(WindowPositionKey);
    if (!key.OpenForWriting()) return;
    if (isMaximized()) {
        key.WriteString("MyWindowState", "True");
        return;
    }
    key.WriteString("MyWindowState", "False");
    key.WriteString("Top", std::to_string(y()));
    key.WriteString("Left", std::to_string(x()));
    key.WriteString("Width", std::to_string(width()));
    key.WriteString("Height", std::to_string(height()));
}

void TfrmMain::LoadInterfaceSettings() {
    const TSettingsKey key(InterfaceKey);
    SetLocalWidth(key.ReadInteger("LocalWidth", LocalWidth()));
    // The pane area's height follows from the window layout; the stored value
    // is read for compatibility and the layout sizes the area again.
    (void)key.ReadInteger("LocalAndRemoteWidth", pnlLocalAndRemote->height());
    SetLogHeight(key.ReadInteger("LogHeight", LogHeight()));
    const bool logVisible = key.ReadBool("LogVisible", !pnlFTPLog->isHidden());
    itmViewFTPLog->setChecked(logVisible);
    itmViewFTPLogClick();
    ApplyLocalPaneSettings(key);
    RefreshLocalFiles();
    SetServerViewStyle(key.ReadInteger("ServerViewStyle", lvServerFiles->ViewStyle()));
    for (int c = 0; c < TRemoteListView::ColumnCount; ++c) {
        try {
            lvServerFiles->SetColumnWidth(c, key.ReadInteger("SrvCol" + std::to_string(c), lvServerFiles->ColumnWidth(c)));
        } catch (...) {
            // A stored width that cannot be read leaves the column as it is.
        }
    }
}

// A stored drive or folder that no longer exists leaves the pane where it is.
void TfrmMain::ApplyLocalPaneSettings(const TSettingsKey& key) {
    try {
        SetLocalDrive(key.ReadString("LocalDrive", LocalDrive()));
        SetLocalDir(key.ReadString("LocalDir", LocalDir()));
        SetLocalFilter(key.ReadInteger("LocalFilter", cbFilter->currentIndex()));
    } catch (...) {
        // A stored volume or folder that is gone leaves the pane where it is.
    }
}

void TfrmMain::SaveInterfaceSettings() {
    TSettingsKey key(InterfaceKey);
    if (!key.OpenForWriting()) return;
    key.WriteInteger("LocalWidth", LocalWidth());
    key.WriteInteger("LocalAndRemoteWidth", pnlLocalAndRemote->height());
    key.WriteInteger("LogHeight", LogHeight());
    key.WriteBool("LogVisible", !pnlFTPLog->isHidden());
    key.WriteString("LocalDrive", LocalDrive());
    key.WriteString("LocalDir", LocalDir());
    key.WriteInteger("LocalFilter", cbFilter->currentIndex());
    key.WriteInteger("ServerViewStyle", lvServerFiles->ViewStyle());
    for (int c = 0; c < TRemoteListView::ColumnCount; ++c) {
        try {
            key.WriteInteger("SrvCol" + std::to_string(c), lvServerFiles->ColumnWidth(c));
        } catch (...) {
            // A width that cannot be stored keeps the last one; the other columns are still saved.
        }
    }
}

int TfrmMain::LocalWidth() const { return shownOnce_ ? spltFTP->sizes().value(0) : pendingLocalWidth_; }

void TfrmMain::SetLocalWidth(int width) {
    pendingLocalWidth_ = std::max(0, width);
    if (!shownOnce_) return;
    const QList<int> sizes = spltFTP->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    spltFTP->setSizes({pendingLocalWidth_, std::max(0, total - pendingLocalWidth_)});
}

int TfrmMain::LogHeight() const { return shownOnce_ && pnlFTPLog->isVisible() ? pnlFTPLog->height() : pendingLogHeight_; }

// The pane area above gives or takes the difference; the splitter keeps
// both within their minimum sizes.
void TfrmMain::SetLogHeight(int height) {
    pendingLogHeight_ = std::max(0, height);
    if (!shownOnce_ || pnlFTPLog->isHidden()) return;
    const QList<int> sizes = spltLog->sizes();
    const int total = sizes.value(0) + sizes.value(1);
    spltLog->setSizes({std::max(0, total - pendingLogHeight_), pendingLogHeight_});
}

// The splitters learn their sizes only when the window is laid out for the
// first time; the stored pane width and log height are applied then.
void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shownOnce_) return;
    shownOnce_ = true;
    SetLocalWidth(pendingLocalWidth_);
    SetLogHeight(pendingLogHeight_);
}
