#pragma once
// Small text helpers of the socket layer.
#include <string>

namespace net {

// Leading and trailing blanks and control characters removed.
std::string Trim(const std::string& Text);
// "Error <code> in function <label>\r\n<text of the code>".
std::string SocketErrorMessage(int Code, const std::string& Label);

}  // namespace net
