#pragma once
#include <span>
#include <string>
#include <string_view>

#include "core/ConfigurationRecord.h"

namespace kvt {

// The values a storing mode asks for in the detail edits of the recording
// settings dialog (edits 1016 on, in this order for each mode).
enum class DetailField {
    TriggerNode,
    PreTrigger,
    PostTrigger,
    Year,
    Month,
    Day,
    Hour,
    Minute,
    Second,
    DurationHours,
    DurationMinutes,
};

// The detail edits of `mode` for `group` (0 = the high-speed group).
std::span<const DetailField> detailFieldsOf(int group, int mode);

// The caption beside the field's edit, in the language in force.
const char* detailCaption(DetailField field);

// The stored value as the edit shows it: hexadecimal for the trigger
// node, decimal otherwise.
std::string detailText(DetailField field, int value);

// What the field's edit keeps of a typed or pasted text: decimal digits up
// to the field's width; for the trigger node hexadecimal digits that read
// as 1 to 1F (or 0), upper case.
std::string filterDetailText(DetailField field, std::string_view typed);

// The value a text stands for, and whether it lies in the field's range.
int detailValue(DetailField field, const std::string& text);
bool detailTextValid(DetailField field, const std::string& text);
// Shows the range message of the field, in the language in force.
void showDetailRangeMessage(DetailField field);

// Where the field lives in the recording settings of `group` (0 = the
// high-speed group, which keeps only the trigger counts).
int32_t* detailFieldIn(ConfigurationRecord& config, int group, DetailField field);

// The caption of the choice radio pair and of its two radios for a mode
// (2 and 3: trigger condition, 4: auto method), in the language in force.
struct ChoiceCaptions {
    const char* label;
    const char* first;
    const char* second;
};
ChoiceCaptions choiceCaptionsOf(int mode);

}  // namespace kvt
