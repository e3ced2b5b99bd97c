#pragma once
// The data-connection commands of RFC 2428, which work for IPv6 as for
// IPv4: EPSV's reply and EPRT's argument.

#include <string>
#include <string_view>

// The port in a 229 reply, "229 Entering Extended Passive Mode (|||6446|)":
// any printable delimiter, the address and protocol fields empty (the data
// connection goes to the control connection's address). False when the
// reply does not carry a port from 1 to 65535 in that form.
bool ParseEpsvPort(std::string_view reply, int& port);

// "EPRT |2|::1|6446|" for an IPv6 address, "|1|" for IPv4 text.
std::string EprtCommand(const std::string& address, int port);
