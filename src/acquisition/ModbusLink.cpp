#include "acquisition/ModbusLink.h"

namespace kvt {

// Placeholders until the serial link lands.
int openLink() { return 0; }
int closeLink() { return 0; }

}  // namespace kvt
