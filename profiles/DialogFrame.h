#pragma once
// The frame every profile dialog shares: a fixed size, a caption and only a
// close box; and centring before the dialog is first shown.

#include <QDialog>

#include "util/ui/UiUtils.h"

inline void SetFixedDialogFrame(QDialog* dialog, const QString& caption, QSize clientSize) {
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    dialog->setFixedSize(clientSize);
}

// The native window is created first, so that the window frame counts in the
// dialog's size as it does in the owner's.
inline void CentreDialogOver(QWidget* dialog, const QWidget* owner) {
    if (dialog == nullptr) return;
    (void)dialog->winId();
    CenterOver(dialog, owner);
}
