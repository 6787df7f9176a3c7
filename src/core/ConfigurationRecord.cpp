#include "core/ConfigurationRecord.h"

namespace kvt {

ConfigurationRecord liveConfiguration{};
ConfigurationRecord workingConfiguration{};

}  // namespace kvt
