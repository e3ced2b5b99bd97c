#include "util/ui/UiUtils.h"

#include <QAbstractItemView>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QScreen>
#include <QStandardPaths>
#include <QWidget>
#include <algorithm>

namespace {

int AskBox(const std::string& caption, const std::string& text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton escape) {
    QMessageBox box(icon, ToQt(caption), ToQt(text), buttons);
    // Texts carry names from servers and disks: "<b>x</b>" is a file name.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.setEscapeButton(escape);
    box.show();
    box.raise();
    box.activateWindow();
    const int pressed = box.exec();
    switch (pressed) {
        case QMessageBox::Yes: return IDYES;
        case QMessageBox::No: return IDNO;
        case QMessageBox::Ok: return IDOK;
        default: return IDCANCEL;
    }
}

}  // namespace

QString ToQt(const std::string& text) { return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())); }

std::string FromQt(const QString& text) { return text.toLocal8Bit().toStdString(); }

std::string Translated(const char* context, const char* english) { return FromQt(QCoreApplication::translate(context, english)); }

std::string Substitute(const std::string& pattern, std::initializer_list<std::string> values) {
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto index = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
            text += values.begin()[index];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

void ShowInfoBox(const std::string& caption, const std::string& text) {
    (void)AskBox(caption, text, QMessageBox::Information, QMessageBox::Ok, QMessageBox::Ok);
}

int AskYesNoCancel(const std::string& caption, const std::string& text) {
    return AskBox(caption, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                  QMessageBox::Cancel);
}

int AskYesNo(const std::string& caption, const std::string& text) {
    const int answer = AskBox(caption, text, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == IDYES ? IDYES : IDNO;
}

void SetCursorDeep(QWidget* control, const QCursor& cursor) {
    if (control == nullptr) return;
    control->setCursor(cursor);
    for (QWidget* child : control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) SetCursorDeep(child, cursor);
}

void LoadIconFromFile(const std::string& path, int index, QIcon& icon) {
    const QFileInfo info(ToQt(path));
    if (index > 0) {
        // Further alternatives: the generic icon of the file's type family.
        const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
        icon = QIcon::fromTheme(type.genericIconName());
        return;
    }
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info);
    QIcon themed = QIcon::fromTheme(type.iconName());
    icon = themed.isNull() ? QFileIconProvider().icon(info) : themed;
}

bool RecycleFile(const std::string& path) {
    if (path.empty()) return false;
    // Qt 6.4 cannot make the trash while the user's data folder does not
    // exist yet; it then moves the file into a "files" folder below the
    // current folder and reports success.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!data.isEmpty()) (void)QDir().mkpath(data);
    const QString original = ToQt(path);
    QString inTrash;
    if (!QFile::moveToTrash(original, &inTrash)) return false;
    if (QFileInfo(inTrash).isAbsolute()) return true;
    // Astray all the same: put it back, drop the stray record, and let the
    // caller decide as for any trash that cannot take the file.
    const QFileInfo stray(inTrash);
    (void)QFile::rename(stray.absoluteFilePath(), original);
    QDir info(stray.absoluteDir());
    if (info.cdUp() && info.cd(QStringLiteral("info"))) (void)QFile::remove(info.filePath(stray.fileName() + ".trashinfo"));
    return false;
}

void CenterOver(QWidget* dialog, const QWidget* owner) {
    if (dialog == nullptr || owner == nullptr) return;
    // Before its first showing a window with a layout still has Qt's default
    // size, which would place a small window far up and left of the centre.
    if (!dialog->isVisible() && !dialog->testAttribute(Qt::WA_Resized)) dialog->adjustSize();
    const QRect o = owner->frameGeometry();
    const QRect d = dialog->frameGeometry();
    QPoint at(o.left() + o.width() / 2 - d.width() / 2, o.top() + o.height() / 2 - d.height() / 2);
    if (const QScreen* screen = owner->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - d.width())));
        at.setY(std::max(room.top(), std::min(at.y(), room.bottom() + 1 - d.height())));
    }
    dialog->move(at);
}

void OpenContextMenuFromKeyboard(QAbstractItemView* view) {
    if (view == nullptr) return;
    const QRect item = view->visualRect(view->currentIndex());
    const QPoint at = item.isValid() ? item.center() : QPoint(0, 0);
    QContextMenuEvent event(QContextMenuEvent::Keyboard, at, view->viewport()->mapToGlobal(at));
    QCoreApplication::sendEvent(view->viewport(), &event);
}

bool IsContextMenuKey(const QKeyEvent& key) {
    return key.key() == Qt::Key_F10 && (key.modifiers() & ~Qt::KeypadModifier) == Qt::ShiftModifier;
}
