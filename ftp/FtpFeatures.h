#pragma once
// The server's answer to FEAT (RFC 2389): which extensions it offers, and
// their parameters (MLST's facts, say). Empty until a FEAT reply came; a
// server that refuses FEAT offers nothing, and the engine then speaks as it
// always did.

#include <string>
#include <string_view>
#include <vector>

class FtpFeatures {
public:
    void Clear();
    // One line of the FEAT reply; its first and last lines (the ones with
    // the reply code) are ignored.
    void AddLine(std::string_view Line);

    // The feature named by its first word, in any letter case.
    bool Has(std::string_view Name) const;
    // A feature line in full, in any letter case ("SITE UTIME").
    bool HasLine(std::string_view Line) const;
    // What follows the feature's name ("type*;size*;modify*;" for MLST);
    // empty when absent or without parameters.
    std::string Parameters(std::string_view Name) const;
    // The feature lines as the server wrote them, without the leading blank.
    const std::vector<std::string>& Lines() const { return lines_; }
    bool Empty() const { return lines_.empty(); }

private:
    const std::string* Find(std::string_view Name) const;

    std::vector<std::string> lines_;
};
