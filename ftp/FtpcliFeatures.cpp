// The log-in's last step: FEAT (RFC 2389) and, where offered, OPTS UTF8 ON
// (RFC 2640). Neither can fail the log-in: a server that refuses them is
// spoken to as before.
#include "ftp/Ftpcli.h"

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
    EndFeatures();
}

void TCustomFtpCli::OptsUtf8Reply() {
    if (!TakeFinalReply()) return;
    utf8Names_ = statusCode_ / 100 == 2;
    EndFeatures();
}

void TCustomFtpCli::EndFeatures() {
    fNext_ = nullptr;
    lastResponse_ = loginReply_;
    statusCode_ = loginStatus_;
    FinishStep(0);
}
