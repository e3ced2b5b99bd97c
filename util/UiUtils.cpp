#include "util/UiUtils.h"

#include <QFile>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeDatabase>
#include <QWidget>

namespace {

int AskBox(const std::string& caption, const std::string& text, QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
           QMessageBox::StandardButton escape) {
    QMessageBox box(icon, ToQt(caption), ToQt(text), buttons);
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
    return QFile::moveToTrash(ToQt(path));
}

void CenterOver(QWidget* dialog, const QWidget* owner) {
    if (dialog == nullptr || owner == nullptr) return;
    const QRect o = owner->frameGeometry();
    const QRect d = dialog->frameGeometry();
    dialog->move(o.left() + o.width() / 2 - d.width() / 2, o.top() + o.height() / 2 - d.height() / 2);
}
