#pragma once
// The program's own small pictures, drawn at run time so that they look the
// same on every desktop whatever its icon theme offers.

#include <QColor>
#include <QIcon>
#include <QPixmap>

namespace Glyphs {

enum class Tool {
    Connect,
    Disconnect,
    AddServer,
    FolderUp,
    NewFolder,
    Delete,
    Refresh,
    Binary,
    Ascii,
    Auto,
    Hosting,
    Sell,
    Compare
};

// A round indicator lamp: lit shows the colour, unlit a dark shade of it.
QPixmap Lamp(const QColor& colour, bool lit, int size);
// A closed padlock: the session is encrypted.
QPixmap Lock(int size);
// A toolbar glyph, 24 x 24, with a greyed form for the disabled state.
QIcon ToolIcon(Tool tool);

}  // namespace Glyphs
