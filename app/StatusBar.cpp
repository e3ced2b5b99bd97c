#include "app/StatusBar.h"

#include <QCoreApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QStyleOptionFrame>

#include "app/Glyphs.h"

namespace {

constexpr int kLampSize = 12;

QLabel* NewLamp(QWidget* parent, const QPixmap& pixmap) {
    auto* lamp = new QLabel(parent);
    lamp->setPixmap(pixmap);
    lamp->setFixedSize(kLampSize, kLampSize);
    return lamp;
}

}  // namespace

TStatusBar::TStatusBar(QWidget* parent) : QFrame(parent), PanelWidths{250, 100, 140, 100} {
    setFixedHeight(BarHeight);
    // The panels are as narrow as the window definition has them; a compact
    // font keeps "Connected. (HH:NN:SS)" whole in its 140 pixels.
    QFont compact = font();
    compact.setPixelSize(11);
    setFont(compact);
    lblHint = new QLabel(this);
    pbTransferStatus = new QProgressBar(this);
    pbTransferStatus->setRange(0, 100);
    pbTransferStatus->setTextVisible(false);
    pbTransferStatus->setToolTip(QCoreApplication::translate("TStatusBar", "Transfer Status"));
    pbTransferStatus->setFixedHeight(12);
    lblConnectionTime = new QLabel(this);
    lblConnectionTime->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    imgConnectedOn = NewLamp(this, Glyphs::Lamp(QColor(0, 200, 0), true, kLampSize));
    imgConnectedOff = NewLamp(this, Glyphs::Lamp(QColor(0, 200, 0), false, kLampSize));
    imgDisconnectedOn = NewLamp(this, Glyphs::Lamp(QColor(220, 0, 0), true, kLampSize));
    imgDisconnectedOff = NewLamp(this, Glyphs::Lamp(QColor(220, 0, 0), false, kLampSize));
    imgConnectedOn->setToolTip(QCoreApplication::translate("TStatusBar", "Connected"));
    imgDisconnectedOn->setToolTip(QCoreApplication::translate("TStatusBar", "Disconnected"));
    imgEncrypted = NewLamp(this, Glyphs::Lock(kLampSize));
    imgEncrypted->hide();
}

void TStatusBar::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    fsbMainResize();
}

void TStatusBar::fsbMainResize() {
    PanelWidths[0] = width() - PanelWidths[1] - PanelWidths[2] - PanelWidths[3];
    const int h = height();
    lblHint->setGeometry(2, 0, std::max(0, PanelWidths[0] - 4), h);
    const int barTop = (h - pbTransferStatus->height()) / 2 + 1;
    pbTransferStatus->setGeometry(PanelWidths[0] + 5, barTop, PanelWidths[1] - 7, pbTransferStatus->height());
    const int timeLeft = PanelWidths[0] + PanelWidths[1];
    lblConnectionTime->setGeometry(timeLeft + 4, 0, PanelWidths[2] - 8, h);
    const int lampTop = (h - kLampSize) / 2 + 1;
    const int connectedLeft = width() - PanelWidths[3] + 8;
    const int disconnectedLeft = connectedLeft + kLampSize + 4;
    imgConnectedOn->move(connectedLeft, lampTop);
    imgConnectedOff->move(connectedLeft, lampTop);
    imgDisconnectedOn->move(disconnectedLeft, lampTop);
    imgDisconnectedOff->move(disconnectedLeft, lampTop);
    imgEncrypted->move(disconnectedLeft + kLampSize + 8, lampTop);
}

// Panels 2 and 3 have a lowered bevel; 0 and 1 have none.
void TStatusBar::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    QPainter painter(this);
    int left = PanelWidths[0] + PanelWidths[1];
    for (int panel = 2; panel < 4; ++panel) {
        const QRect r(left + 1, 1, PanelWidths[static_cast<std::size_t>(panel)] - 2, height() - 2);
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(r.topLeft(), r.topRight());
        painter.drawLine(r.topLeft(), r.bottomLeft());
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(r.bottomLeft(), r.bottomRight());
        painter.drawLine(r.topRight(), r.bottomRight());
        left += PanelWidths[static_cast<std::size_t>(panel)];
    }
}
