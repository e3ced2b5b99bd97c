#pragma once
// The caption of a check box or radio button, shown as a word-wrapped label
// beside it: Qt's buttons draw their text on one line, and some captions are
// wider than the fixed-size dialogs that show them. Clicking the caption
// clicks the button, as clicking a button's own text does; the button takes
// the caption as its accessible name.

#include <QLabel>

class QAbstractButton;

class TCaptionLabel : public QLabel {
public:
    TCaptionLabel(const QString& caption, QAbstractButton* button, QWidget* parent);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QAbstractButton* button_;
};
