#include "ftp/FtpTextConverter.h"

std::size_t FtpTextConverter::ToLocal(const char* in, std::size_t count, char* out) {
    std::size_t written = 0;
    std::size_t i = 0;
    if (heldCr_ && count > 0) {
        heldCr_ = false;
        if (in[0] == '\n') {
            out[written++] = '\n';
            i = 1;
        } else {
            out[written++] = '\r';
        }
    }
    for (; i < count; ++i) {
        const char c = in[i];
        if (c != '\r') {
            out[written++] = c;
        } else if (i + 1 == count) {
            heldCr_ = true;
        } else if (in[i + 1] == '\n') {
            out[written++] = '\n';
            ++i;
        } else {
            out[written++] = '\r';
        }
    }
    return written;
}

std::size_t FtpTextConverter::FinishToLocal(char* out) {
    if (!heldCr_) return 0;
    heldCr_ = false;
    out[0] = '\r';
    return 1;
}

std::size_t FtpTextConverter::ToWire(const char* in, std::size_t count, char* out) {
    std::size_t written = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = in[i];
        if (c == '\n' && !afterCr_) out[written++] = '\r';
        out[written++] = c;
        afterCr_ = c == '\r';
    }
    return written;
}
