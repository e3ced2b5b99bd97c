#pragma once
// The main window's status bar: four panels (hints, transfer progress,
// connection time, connection lamps), laid out by fsbMainResize.

#include <QFrame>
#include <array>

class QLabel;
class QProgressBar;

class TStatusBar : public QFrame {
public:
    static constexpr int BarHeight = 22;

    explicit TStatusBar(QWidget* parent = nullptr);

    // Panel widths, left to right; panel 0 takes what the others leave.
    std::array<int, 4> PanelWidths;

    QLabel* lblHint;                 // panel 0
    QProgressBar* pbTransferStatus;  // panel 1
    QLabel* lblConnectionTime;       // panel 2
    QLabel* imgConnectedOn;          // panel 3
    QLabel* imgConnectedOff;
    QLabel* imgDisconnectedOn;
    QLabel* imgDisconnectedOff;
    QLabel* imgEncrypted;  // a lock, beside the lamps, while encrypted

    void fsbMainResize();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
