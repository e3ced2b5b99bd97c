#include "profiles/FrmServerConnect.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <cctype>

#include "util/FTPServerObj.h"
#include "util/MiscUtils.h"
#include "util/ui/UiUtils.h"

namespace {}  // namespace

TfrmServerConnect::TfrmServerConnect() : QDialog(nullptr) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(tr("Connect to FTP server"));
    setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    setFixedSize(369, 185);
    // A busy bar stands in for the find-computer clip: it moves for as long
    // as the attempt lasts.
    aniConnect = new QProgressBar(this);
    aniConnect->setGeometry(8, 20, 80, 24);
    aniConnect->setTextVisible(false);
    lblConnectingTo = AddCentredLabel(8, 16);
    lblConnectingTo->setText(tr("Connecting to:"));
    lblServerName = AddCentredLabel(26, 22);
    QFont bold = lblServerName->font();
    bold.setBold(true);
    bold.setPixelSize(16);
    lblServerName->setFont(bold);
    lblAddress = AddCentredLabel(50, 16);
    pnlProgress = new QWidget(this);
    pnlProgress->setGeometry(8, 76, 353, 66);
    for (std::size_t i = 0; i < lblProgress.size(); ++i) {
        lblProgress[i] = new QLabel(pnlProgress);
        lblProgress[i]->setGeometry(4, 2 + 21 * static_cast<int>(i), 345, 20);
        // Server texts are shown as they came, never read as markup.
        lblProgress[i]->setTextFormat(Qt::PlainText);
    }
    btnCancel = new QPushButton(tr("&Cancel"), this);
    btnCancel->setGeometry(147, 152, 75, 25);
    connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancelClick(); });
    FormCreate();
}

TfrmServerConnect::~TfrmServerConnect() { FormDestroy(); }

QLabel* TfrmServerConnect::AddCentredLabel(int top, int height) {
    auto* label = new QLabel(this);
    label->setGeometry(96, top, 265, height);
    label->setAlignment(Qt::AlignCenter);
    label->setTextFormat(Qt::PlainText);
    return label;
}

void TfrmServerConnect::FormCreate() {
    lblServerName->setText(tr("Untitled"));
    lblAddress->setText(tr("Unknown"));
    aniConnect->setRange(0, 0);
    for (QLabel* line : lblProgress) line->clear();
}

void TfrmServerConnect::SetServer(const TFTPServer& server) {
    lblServerName->setText(ToQt(server.Name));
    lblAddress->setText(tr("%1 on port %2").arg(ToQt(server.Hostname), ToQt(server.Port)));
}

void TfrmServerConnect::AddProgressLine(const std::string& text, const QColor& colour) {
    for (std::size_t i = 0; i + 1 < lblProgress.size(); ++i) {
        lblProgress[i]->setText(lblProgress[i + 1]->text());
        lblProgress[i]->setPalette(lblProgress[i + 1]->palette());
    }
    QLabel* last = lblProgress.back();
    last->setText(ToQt(::MaskPassword(text)));
    QPalette palette = last->palette();
    palette.setColor(QPalette::WindowText, colour);
    last->setPalette(palette);
    pnlProgress->repaint();
}

void TfrmServerConnect::AddDisplayText(const std::string& display) {
    AddProgressLine(display.size() > 2 ? display.substr(2) : std::string(), palette().color(QPalette::WindowText));
}

void TfrmServerConnect::AddStateText(const std::string& text) { AddProgressLine(text, StateColour()); }

bool TfrmServerConnect::AnimationPlaying() const { return aniConnect->maximum() == 0; }

void TfrmServerConnect::StopAnimation() {
    aniConnect->setRange(0, 1);
    aniConnect->setValue(0);
}

void TfrmServerConnect::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmServerConnect::closeEvent(QCloseEvent* event) {
    // A second close while the abort below pumps messages: the first one is
    // already on its way.
    if (closing_) {
        event->ignore();
        return;
    }
    closing_ = true;
    QPointer<TfrmServerConnect> alive(this);
    FormClose();
    if (alive.isNull()) return;
    event->accept();
}

void TfrmServerConnect::FormClose() {
    StopAnimation();
    // The main window forgets the window before the abort pumps messages, so
    // none of its handlers can feed or free it meanwhile.
    FormDestroy();
    if (OnAbort) OnAbort(this);
}

void TfrmServerConnect::FormDestroy() {
    if (destroyRaised_) return;
    destroyRaised_ = true;
    if (OnDestroy) OnDestroy(this);
}
