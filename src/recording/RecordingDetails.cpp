#include "recording/RecordingDetails.h"

#include <cstdio>

#include "core/LanguageText.h"
#include "settings/EditFilters.h"

namespace kvt {
namespace {

constexpr DetailField kTriggerFields[] = {DetailField::TriggerNode};
constexpr DetailField kEventFields[] = {DetailField::TriggerNode, DetailField::PreTrigger,
                                        DetailField::PostTrigger};
constexpr DetailField kHighSpeedEventFields[] = {DetailField::PreTrigger, DetailField::PostTrigger};
constexpr DetailField kAutoFields[] = {
    DetailField::Year,   DetailField::Month,  DetailField::Day,           DetailField::Hour,
    DetailField::Minute, DetailField::Second, DetailField::DurationHours, DetailField::DurationMinutes,
};

struct FieldRule {
    const char* englishCaption;
    const char* japaneseCaption;
    size_t digits;  // most characters the edit keeps
    int lowest;
    int highest;
    const char* englishMessage;
    const char* japaneseMessage;
};

// By DetailField.
constexpr FieldRule kRules[] = {
    {"Node number", "対象ﾉｰﾄﾞ", 2, 1, 0x1F, "Available to use from 1 to F.",
     "1-1Fを入力して下さい。"},
    {"Pretrigger", "ﾌﾟﾚﾄﾘｶﾞ", 4, 0, 1200, "available to use from 0 to 1200.",
     "0-1200を入力して下さい。"},
    {"Posttrigger", "ﾎﾟｽﾄﾄﾘｶﾞ", 4, 0, 1200, "available to use from 0 to 1200.",
     "0-1200を入力して下さい。"},
    {"      Year", "      年", 4, 2000, 2099, "Year are available to use from 2000 to 2099.",
     "年は、2000-2099を入力して下さい。"},
    {"      Month", "      月", 2, 1, 12, "Month are available to use from 1 to 12.",
     "月は、1-12を入力して下さい。"},
    {"      Day", "      日", 2, 1, 31, "Day are available to use from 1 to 31.",
     "日は、1-31を入力して下さい。"},
    {"      Hour", "      時", 2, 0, 23, "Hour are available to use from 0 to 23.",
     "時は、0-23を入力して下さい。"},
    {"      Min.", "      分", 2, 0, 59, "Minute are available to use from 0 to 59.",
     "分は、0-59を入力して下さい。"},
    {"      Sec.", "      秒", 2, 0, 59, "Second are available to use from 0 to 59.",
     "秒は、0-59を入力して下さい。"},
    {"      Hours", "      時間", 2, 0, 23, "Hour are available to use from 0 to 23.",
     "時間は、0-23を入力して下さい。"},
    {"      Minutes", "      分", 2, 0, 59, "Minute are available to use from 0 to 59.",
     "分は、0-59を入力して下さい。"},
};

const FieldRule& ruleOf(DetailField field) { return kRules[static_cast<int>(field)]; }

// Hexadecimal digits that read as 1 to 1F: a second digit stays only
// behind a "1"; the last one kept is upper case.
std::string filterNodeText(std::string_view typed) {
    std::string kept = keepHexDigits(typed, 2);
    if (kept.size() == 2 && kept[0] != '1') kept.erase(0, 1);
    if (!kept.empty() && kept.back() >= 'a' && kept.back() <= 'f') {
        kept.back() = static_cast<char>(kept.back() - 'a' + 'A');
    }
    return kept;
}

}  // namespace

std::span<const DetailField> detailFieldsOf(int group, int mode) {
    if (group == 0) {
        if (mode == kEventRecording) return kHighSpeedEventFields;
        return {};
    }
    switch (mode) {
    case kRemoteTrigger:
        return kTriggerFields;
    case kEventRecording:
        return kEventFields;
    case kAuto:
        return kAutoFields;
    default:
        return {};
    }
}

const char* detailCaption(DetailField field) {
    return byLanguage(ruleOf(field).englishCaption, ruleOf(field).japaneseCaption);
}

std::string detailText(DetailField field, int value) {
    char text[16];
    if (field == DetailField::TriggerNode) {
        std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    } else {
        std::snprintf(text, sizeof text, "%d", value);
    }
    return text;
}

std::string filterDetailText(DetailField field, std::string_view typed) {
    if (field == DetailField::TriggerNode) return filterNodeText(typed);
    return keepDecimalDigits(typed, ruleOf(field).digits);
}

int detailValue(DetailField field, const std::string& text) {
    if (field == DetailField::TriggerNode) return nodeNumberFromText(text);
    return integerFromText(text);
}

// A trigger node text must have one or two characters and name a node
// 1 to 1F: node 0 would never trigger.
bool detailTextValid(DetailField field, const std::string& text) {
    if (field == DetailField::TriggerNode && (text.empty() || text.size() > 2)) return false;
    int value = detailValue(field, text);
    return value >= ruleOf(field).lowest && value <= ruleOf(field).highest;
}

void showDetailRangeMessage(DetailField field) {
    bilingualMessageBox(ruleOf(field).englishMessage, ruleOf(field).japaneseMessage);
}

int32_t* detailFieldIn(ConfigurationRecord& config, int group, DetailField field) {
    if (group == 0) {
        if (field == DetailField::PreTrigger) return &config.highSpeedRecording.preTriggerCount;
        if (field == DetailField::PostTrigger) return &config.highSpeedRecording.postTriggerCount;
        return nullptr;
    }
    GroupRecordingSettings& settings = config.group(group);
    switch (field) {
    case DetailField::TriggerNode:
        return &settings.triggerNode;
    case DetailField::PreTrigger:
        return &settings.preTriggerCount;
    case DetailField::PostTrigger:
        return &settings.postTriggerCount;
    case DetailField::Year:
        return &settings.autoStartYear;
    case DetailField::Month:
        return &settings.autoStartMonth;
    case DetailField::Day:
        return &settings.autoStartDay;
    case DetailField::Hour:
        return &settings.autoStartHour;
    case DetailField::Minute:
        return &settings.autoStartMinute;
    case DetailField::Second:
        return &settings.autoStartSecond;
    case DetailField::DurationHours:
        return &settings.autoDurationHours;
    case DetailField::DurationMinutes:
        return &settings.autoDurationMinutes;
    }
    return nullptr;
}

ChoiceCaptions choiceCaptionsOf(int mode) {
    switch (mode) {
    case kRemoteTrigger:
        return {byLanguage("Condition", "対象信号状態"), byLanguage("ON", "ｵﾝ時"),
                byLanguage("OFF", "ｵﾌ時")};
    case kEventRecording:
        return {byLanguage("Condition", "検出方向"), byLanguage("Rise", "↑"),
                byLanguage("Sink", "↓")};
    case kAuto:
        return {byLanguage("Condition", "自動方法"), byLanguage("One time only", "１回"),
                byLanguage("Every day", "毎日")};
    default:
        return {"", "", ""};
    }
}

}  // namespace kvt
