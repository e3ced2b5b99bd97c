#include "dialogs/CaptionLabel.h"

#include <QAbstractButton>
#include <QMouseEvent>

TCaptionLabel::TCaptionLabel(const QString& caption, QAbstractButton* button, QWidget* parent)
    : QLabel(caption, parent), button_(button) {
    setWordWrap(true);
    setTextFormat(Qt::PlainText);
    setBuddy(button);
    button->setAccessibleName(caption);
}

void TCaptionLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && button_->isEnabled())
        button_->click();
}
