#pragma once
// The comma text form of a list of entries, as stored in the "AsciiExt"
// setting, and the extension rules of the text-transfer list.

#include <string>
#include <vector>

#include "util/MiscUtils.h"

// Entries joined by commas; an entry holding a character with a code of 32 or
// less, a double quote or a comma is quoted with inner quotes doubled. One
// empty entry is written as "" and an empty list as an empty text.
std::string CommaTextOf(const std::vector<std::string>& entries);

// Splits at commas, and at blanks and control characters outside quotes;
// such characters around entries are skipped; a quoted entry runs to its
// closing quote, doubled quotes standing for one. A trailing comma adds an
// empty entry.
std::vector<std::string> ParseCommaText(const std::string& text);

// True for the picture and archive extensions that must never be
// transferred as text (.gif, .jpg, .jpeg, .exe, .zip in any letter case).
bool IsRefusedTextExtension(const std::string& extension);
