#pragma once
// Centring a dialog that has not been shown yet: its native window is
// created first, so that the window frame counts in its size as it does for
// the owner's.

#include <QWidget>

#include "util/UiUtils.h"

inline void CentreDialogOver(QWidget* dialog, const QWidget* owner) {
    if (dialog == nullptr) return;
    (void)dialog->winId();
    CenterOver(dialog, owner);
}
