#include "dialogs/FrmMessage.h"

#include <QLabel>
#include <QPushButton>

#include "util/ui/UiUtils.h"

TfrmMessage::TfrmMessage(QWidget* mainWindow) : QDialog(nullptr), mainWindow_(mainWindow) {
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(368, 173);
    lblDesc = new QLabel(this);
    lblDesc->setGeometry(9, 8, 349, 121);
    lblDesc->setWordWrap(true);
    lblDesc->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblDesc->setTextFormat(Qt::PlainText);  // server texts are never markup
    btnOk = new QPushButton(tr("&Ok"), this);
    btnOk->setGeometry(146, 138, 75, 25);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, [this] { btnOkClick(); });
    FormCreate();
}

void TfrmMessage::FormCreate() {
    CenterOver(this, mainWindow_);
    lblDesc->clear();
    setWindowTitle(QString::fromLatin1(ApplicationTitle));
}

void TfrmMessage::btnOkClick() { accept(); }
