#pragma once
#include "core/ConfigurationRecord.h"

namespace kvt {

// The settings of a first try without hardware: the factory record in
// `language` (1 English, 0 Japanese), in demonstration mode, with every pen
// of groups 1 to `lastGroup` plotted over the range in which the demo
// values of the group move (so every trace shows, side by side) and those
// groups recording every 0.5 s in normal storing mode. Nothing else
// differs from the factory record.
void fillDemoSettings(ConfigurationRecord& record, int language, int lastGroup = 1);

}  // namespace kvt
