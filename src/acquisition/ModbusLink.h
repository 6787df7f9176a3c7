#pragma once

namespace kvt {

// Opens the serial link with its line settings; does nothing on TCP/IP
// (commPort 5), where the socket thread owns the connection. 0 or -1.
int openLink();
// Closes the serial link (not on TCP/IP). Always 0.
int closeLink();

}  // namespace kvt
