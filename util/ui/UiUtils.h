#pragma once
// Window-side helpers shared by the dialogs: message boxes, cursors, icons,
// the recycle bin and dialog placement. User-interface thread only.

#include <QCursor>
#include <QIcon>
#include <QString>
#include <initializer_list>
#include <string>

class QAbstractItemView;
class QKeyEvent;
class QWidget;

// The application title used as the caption of dialogs and message boxes.
inline constexpr char ApplicationTitle[] = "Quillford Velliant FTP";

// Button codes returned by the message boxes, with the values the callers
// were written against.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Application-modal boxes without an owner window, raised to the front.
void ShowInfoBox(const std::string& caption, const std::string& text);
// IDYES, IDNO or IDCANCEL (Escape and the close box answer IDCANCEL).
int AskYesNoCancel(const std::string& caption, const std::string& text);
// IDYES or IDNO (the close box answers IDNO).
int AskYesNo(const std::string& caption, const std::string& text);

// Sets the cursor of the widget and of every widget below it; nothing for a
// null widget.
void SetCursorDeep(QWidget* control, const QCursor& cursor);

// The icon the desktop shows for the file (its type's theme icon); `index`
// selects among the alternatives the file type offers, 0 being the usual one.
// Leaves `icon` null when nothing fits; never raises.
void LoadIconFromFile(const std::string& path, int index, QIcon& icon);

// Moves the file or folder to the user's trash; true on success.
bool RecycleFile(const std::string& path);

// Centres `dialog` over `owner`: left = owner left + owner width / 2 - dialog
// width / 2 (integer division), top likewise, then kept on the owner's
// screen. A window not yet shown is first given the size it will show with.
// Nothing without an owner.
void CenterOver(QWidget* dialog, const QWidget* owner);

// Opens the context menu of a list as the Menu key does, at its current item
// (or its top left corner when it has none): Shift+F10 uses it.
void OpenContextMenuFromKeyboard(QAbstractItemView* view);
// Shift+F10, the keyboard's other way to ask for a context menu.
bool IsContextMenuKey(const QKeyEvent& key);

// Conversions between the system's 8-bit texts and Qt's strings. The 8-bit
// form is the locale's encoding (UTF-8 on current systems).
QString ToQt(const std::string& text);
std::string FromQt(const QString& text);

// The text in the user's language (QCoreApplication::translate) as an 8-bit
// text, for the message boxes and logs that take one. lupdate knows it as an
// alias of translate, so the context and the English text must be literals.
std::string Translated(const char* context, const char* english);
// `pattern` with "%1" ... "%9" replaced by `values` in order; a value's own
// "%" signs are left alone, so names from servers and disks stay intact.
std::string Substitute(const std::string& pattern, std::initializer_list<std::string> values);
