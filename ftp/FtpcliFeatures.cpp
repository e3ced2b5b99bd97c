// The log-in's last step: FEAT (RFC 2389) and, where offered, OPTS UTF8 ON
// (RFC 2640) and OPTS MLST (RFC 3659). None can fail the log-in: a server
// that refuses them is spoken to as before.
#include <cctype>

#include "ftp/Ftpcli.h"

namespace {

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

void TCustomFtpCli::BeginFeat() {
    features_.Clear();
    utf8Names_ = false;
    currentStep_ = TFtpStep::Feat;
    doneSignalled_ = false;
    loginReply_ = lastResponse_;
    loginStatus_ = statusCode_;
    SendSessionCommand("FEAT", &TCustomFtpCli::FeatReply);
}

void TCustomFtpCli::FeatReply() {
    if (!lineFinal_) {
        Display("< " + lastResponse_);
        features_.AddLine(lastResponse_);
        return;
    }
    if (!TakeFinalReply()) return;
    if (statusCode_ != 211) features_.Clear();
    if (features_.Has("UTF8")) {
        SendSessionCommand("OPTS UTF8 ON", &TCustomFtpCli::OptsUtf8Reply);
        return;
    }
    AskForModes();
}

void TCustomFtpCli::OptsUtf8Reply() {
    if (!TakeFinalReply()) return;
    utf8Names_ = statusCode_ / 100 == 2;
    AskForModes();
}

// The facts a listing needs. A fact the server marks with '*' is sent
// already; one without it (UNIX.mode on many servers) only when asked for,
// and asking names every fact wanted, since the list replaces the default.
void TCustomFtpCli::AskForModes() {
    const std::string offered = features_.Parameters("MLST");
    std::string wanted;
    bool modeOff = false;
    std::size_t start = 0;
    while (start < offered.size()) {
        std::size_t end = offered.find(';', start);
        if (end == std::string::npos) end = offered.size();
        std::string fact = offered.substr(start, end - start);
        start = end + 1;
        const bool on = !fact.empty() && fact.back() == '*';
        if (on) fact.pop_back();
        const std::string upper = Upper(fact);
        if (upper == "UNIX.MODE") modeOff = !on;
        if (upper == "TYPE" || upper == "SIZE" || upper == "MODIFY" || upper == "UNIQUE" || upper == "UNIX.MODE")
            wanted += fact + ";";
    }
    if (!modeOff) {
        EndFeatures();
        return;
    }
    SendSessionCommand("OPTS MLST " + wanted, &TCustomFtpCli::OptsMlstReply);
}

void TCustomFtpCli::OptsMlstReply() {
    if (!TakeFinalReply()) return;
    EndFeatures();
}

void TCustomFtpCli::EndFeatures() {
    fNext_ = nullptr;
    lastResponse_ = loginReply_;
    statusCode_ = loginStatus_;
    FinishStep(0);
}
