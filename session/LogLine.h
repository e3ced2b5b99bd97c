#pragma once
// How one line of the FTP log is worded and coloured. Pure functions, so the
// wording rules can be checked without a window.

#include <string>

enum class TLogKind { Info, Debug, Status, Display, Command };

struct TLogColour {
    int red;
    int green;
    int blue;
};

// The text as the log shows it: masked, prefixed to twelve characters, and
// filtered (empty: the line is not shown). Debug lines show only with
// `debug`; display texts only when they echo a server reply ("< ...").
std::string FormatLogLine(const std::string& text, TLogKind kind, bool debug);

TLogColour LogColour(TLogKind kind);

// "HH:NN:SS" of a duration in whole seconds; the hours wrap after a day.
std::string ElapsedText(long long seconds);
