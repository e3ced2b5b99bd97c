#include "dialogs/FrmFolder.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

bool IsForbiddenNameChar(const QString& typed) {
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    return typed.size() == 1 && forbidden.contains(typed.front());
}

}  // namespace

TfrmFolder::TfrmFolder(QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("Create a new folder"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFixedSize(351, 132);
    lblCurrentFolder = new QLabel(tr("Current Folder:"), this);
    lblCurrentFolder->setGeometry(8, 8, 335, 16);
    lblCurDir = new QLineEdit(this);
    lblCurDir->setGeometry(8, 26, 335, 18);
    lblCurDir->setReadOnly(true);
    lblCurDir->setFrame(false);
    lblCurDir->setFocusPolicy(Qt::NoFocus);
    lblNewFolder = new QLabel(tr("New Folder name:"), this);
    lblNewFolder->setGeometry(8, 50, 335, 16);
    ebx97NewDir = new QLineEdit(this);
    ebx97NewDir->setGeometry(8, 68, 335, 22);
    ebx97NewDir->installEventFilter(this);
    btnCreate = new QPushButton(tr("Create"), this);
    btnCreate->setGeometry(184, 100, 75, 25);
    btnCreate->setDefault(true);
    btnCancel = new QPushButton(tr("Cancel"), this);
    btnCancel->setGeometry(268, 100, 75, 25);
    connect(btnCreate, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ebx97NewDir, &QLineEdit::textChanged, this, [this] { ebx97NewDirChange(); });
    FormCreate();
}

void TfrmFolder::FormCreate() {
    lblCurDir->clear();
    ebx97NewDir->clear();
    SetConfirmOnly(false);
    ebx97NewDir->setFocus();
}

void TfrmFolder::SetConfirmOnly(bool value) {
    confirmOnly_ = value;
    ebx97NewDirChange();
}

void TfrmFolder::ebx97NewDirChange() { btnCreate->setEnabled(confirmOnly_ || !ebx97NewDir->text().isEmpty()); }

bool TfrmFolder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ebx97NewDir && event->type() == QEvent::KeyPress &&
        IsForbiddenNameChar(static_cast<QKeyEvent*>(event)->text()))
        return true;
    return QDialog::eventFilter(watched, event);
}
