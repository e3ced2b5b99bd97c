#pragma once
// Stateless text and file helpers shared by the windows. None of them raises
// for a failure of the file system: folder and file functions report failure
// by their result (false, 0 or -1). Local paths use the platform separator
// '/'; the path helpers keep their historical "Backslash" names.

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

// A date-time is a count of days since 1899-12-30 00:00 local time; the
// fraction is the time of day.
using TDateTime = double;

// Prefix of the temporary names handed out by NewTempFileName.
inline constexpr char TempNamePrefix[] = "QTX";

// Appends '/' unless the path is empty or already ends with one.
std::string WithTrailingBackslash(const std::string& path);
// Drops one trailing '/' at most; "/" becomes "" and "" stays "".
std::string WithoutTrailingBackslash(const std::string& path);

// Creates one folder (the parent must exist). False on any error, including
// an already existing folder.
bool MakeFolder(const std::string& path);

// Deletes the folder and everything inside as far as it can; true only when
// the folder itself is gone. Symbolic links inside are removed as links and
// never followed. A subfolder the user cannot enter or write is treated as a
// file: it stays, and so does the folder. An empty path or the root, however
// spelt ("/", "//", "/."), is refused.
bool DeleteFolderTree(const std::string& path);

// Creates the file, or truncates an existing one, to zero bytes. Errors are
// ignored.
void CreateEmptyFile(const std::string& path);

// Size of a regular file (following links) without opening it, so read-only
// and locked files report their true size; 0 when it cannot be read.
std::int64_t FileSizeOf(const std::string& path);

// The bytes of a file; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

// The pieces between separators, as reading with getline gives them: an
// empty text has none, and a separator at the end opens no empty last one.
std::vector<std::string> SplitText(const std::string& text, char separator);

// Last-modification stamp of a file or folder, or -1 when it does not exist.
TDateTime FileDateTime(const std::string& path);

// A point in time expressed as a local date-time.
TDateTime ToDateTime(std::chrono::system_clock::time_point when);

// Whole seconds of the time-of-day part of t (milliseconds dropped after
// rounding to the millisecond), for elapsed-time displays.
int SecondsOfDay(TDateTime t);

// Separators used for grouped numbers.
struct NumberSeparators {
    std::string thousands;
    std::string decimal;
};

// Separators of the process's C locale; "," and "." in the "C" locale.
NumberSeparators LocaleNumberSeparators();

// "0 bytes", "1,024 bytes", "1.5 KB", "1,024 MB", "3 GB": divided by 1024
// while above 1024, at most up to GB, with at most two decimals.
std::string SizeText(std::int64_t n);
std::string SizeText(std::int64_t n, const NumberSeparators& separators);

// "1,536 bytes" for n above 1; "1 byte", "0 byte" otherwise.
std::string ByteCountText(std::int64_t n);
std::string ByteCountText(std::int64_t n, const NumberSeparators& separators);

// Wraps a value in double quotes for a profile file whose reader strips
// surrounding quotes; quotes, CR and LF inside become the characters 2, 3, 4.
std::string QuoteValue(const std::string& s);
// The inverse of QuoteValue; also accepts values written without quotes.
std::string UnquoteValue(const std::string& s);

// 1-based position of the rightmost occurrence of needle in text; 0 when
// either is empty or there is none.
int LastPos(const std::string& needle, const std::string& text);

int LargerOf(int a, int b);

// The nearest whole number to a non-negative value, halves rounding up, held
// to what 64 bits can take. Written out rather than std::llround so that vftp
// needs no maths library at run time (a third of a megabyte of its memory).
std::uint64_t RoundedWhole(double nonNegative);

// The text with a-z turned into A-Z and every other byte as it was: the
// case folding of protocol words, extensions and profile keys, which must
// not depend on the locale.
std::string AsciiUpper(std::string text);

// A password command hidden for logs and windows: a text whose first four
// characters spell PASS in any case becomes "PASS *****", one whose third to
// sixth characters do ("> PASS x", as the engine echoes it) "> PASS *****";
// any other text is returned unchanged.
std::string MaskPassword(const std::string& text);

// The text from the last dot to the end of a file name, dot included; empty
// when there is no dot.
std::string ExtensionOf(const std::string& name);

// A fresh, unused file name inside the user's private temporary folder
// (mode 0700, owned by the user); only the name is reserved, no file is left.
// When no such folder can be made: a new empty file of mode 0600 in the
// current folder, made exclusively under an unguessable name (a fixed name
// there would be shared by two programs, and could be a planted link); ""
// when not even that can be made.
std::string NewTempFileName();
