#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "core/ConfigurationRecord.h"

namespace kvt {

// What the open ways out call a pen: its number (1-12) and its tag and
// unit as UTF-8.
struct PenLabel {
    int pen = 0;  // 0-11 inside, written as 1-12
    std::string tag;
    std::string unit;
};

// The texts of a day-file header block (tags or units), one per pen of the
// group, still Shift-JIS. The block holds ",," and then "," and a text for
// every pen, so a text with a comma of its own makes more fields than pens:
// a text of `known` (the settings' texts, may be empty) is taken whole where
// it stands at its pen's place, and the last pen takes what is left. False
// when the block is not a header block (no ",," at its start).
bool splitHeaderBlock(std::string_view block, int group, const std::string_view (&known)[kPensPerGroup],
                      std::string (&texts)[kPensPerGroup]);

// The labels of the pens the settings enable (every pen of the group
// without settings), from the header blocks of a day file.
std::vector<PenLabel> penLabelsOf(std::string_view tagBlock, std::string_view unitBlock, int group,
                                  const ConfigurationRecord* settings);

// The labels of the enabled pens from the settings alone.
std::vector<PenLabel> penLabelsOf(const ConfigurationRecord& settings, int group);

}  // namespace kvt
