#include "net/WSocketText.h"

#include "platform/SocketErrors.h"

namespace net {

std::string Trim(const std::string& Text) {
    std::size_t first = 0;
    std::size_t last = Text.size();
    while (first < last && static_cast<unsigned char>(Text[first]) <= ' ') ++first;
    while (last > first && static_cast<unsigned char>(Text[last - 1]) <= ' ') --last;
    return Text.substr(first, last - first);
}

std::string SocketErrorMessage(int Code, const std::string& Label) {
    return "Error " + std::to_string(Code) + " in function " + Label + "\r\n" + platform::SocketErrorText(Code);
}

}  // namespace net
