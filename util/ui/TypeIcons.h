#pragma once
// File-type descriptions and icons from the desktop's MIME database and icon
// theme, standing in for the file-type associations of the system the
// program was first written for.

#include <QIcon>
#include <QString>
#include <string>

// Keys that name the folder icon rather than a file type.
inline constexpr char FolderIconKey[] = "Folder\\DefaultIcon\\";
inline constexpr char DirectoryIconKey[] = "Directory\\DefaultIcon\\";

// `source` is an extension with its point (".htm") or one of the keys
// above. For a registered extension, `typeText` becomes the type's
// description and `icon` its theme icon; an unknown extension leaves both
// as they were. `icon` stays null when the theme has nothing. Never raises.
void LookUpTypeIcon(const std::string& source, QIcon& icon, QString& typeText);

// The extension a file's type is looked up by: ".EXE" in any case is looked
// up as ".com", as the program always did.
std::string TypeLookupExtension(const std::string& extension);

// The default type text of an extension: without its point, in upper case,
// followed by " File" (" File" alone for no extension).
std::string DefaultTypeText(const std::string& extension);
