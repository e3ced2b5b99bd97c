#pragma once
// The program's one icon: the drawing the application menu, the software
// centre and the about box show, for the windows too.

#include <QIcon>

// The icon in every size it is drawn in (16 to 256 pixels), from the
// program itself, so that it never depends on an installed icon theme.
QIcon ApplicationIcon();
