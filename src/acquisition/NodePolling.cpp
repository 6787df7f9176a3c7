#include "acquisition/NodePolling.h"

namespace kvt {

void resetNodePolling() {}

}  // namespace kvt
