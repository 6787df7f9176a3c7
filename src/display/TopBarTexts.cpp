#include "display/TopBarTexts.h"

#include <array>
#include <cstdio>

#include "display/ButtonLayout.h"
#include "platform/SjisText.h"

namespace kvt {
namespace {

constexpr int kLanguages = 2;  // index 0 Japanese, 1 English
constexpr int kCaptions = kPlaybackCommandButtons;  // live tables leave the last two empty

template <int kCount>
using TextTable = std::array<std::array<std::string, kCount>, kLanguages>;
using CaptionTable = TextTable<kCaptions>;

template <int kCount>
TextTable<kCount> convertTable(const char* const (&utf8)[kLanguages][kCount]) {
    TextTable<kCount> table;
    for (int language = 0; language < kLanguages; ++language) {
        for (int index = 0; index < kCount; ++index) {
            table[language][index] = utf8ToSjis(utf8[language][index]);
        }
    }
    return table;
}

const CaptionTable& liveCaptions() {
    static const char* const utf8[kLanguages][kCaptions] = {
        {"  設定  ", "過去ﾃﾞｰﾀ", "ｱﾗｰﾑ履歴", "実量表示", "  開始  ", "", ""},
        {"Setting ", "Retrieve", "AlarmHist.", "Digital ", " START  ", "", ""},
    };
    static const CaptionTable table = convertTable(utf8);
    return table;
}

const CaptionTable& playbackCaptions() {
    static const char* const utf8[kLanguages][kCaptions] = {
        {"  設定  ", " 記録計 ", "ｱﾗｰﾑ履歴", "実量表示", "最新ﾃﾞｰﾀ", "日時指定", "分割表示"},
        {"Setting ", "Record  ", "AlarmHist.", "Real Value", "Current ", "Date Time", "Divide  "},
    };
    static const CaptionTable table = convertTable(utf8);
    return table;
}

int languageIndex(int language) { return language == 0 ? 0 : 1; }

}  // namespace

const std::string& commandCaption(int language, bool playback, int index) {
    static const std::string none;
    if (index < 0 || index >= kCaptions) return none;
    const CaptionTable& table = playback ? playbackCaptions() : liveCaptions();
    return table[languageIndex(language)][index];
}

const std::string& replacementCaption(int language, CaptionReplacement which) {
    static const std::array<std::array<std::string, 3>, kLanguages> table = {{
        {utf8ToSjis("  隠す  "), utf8ToSjis("  停止  "), utf8ToSjis("分割解除")},
        {" Hide   ", " STOP   ", "Normal  "},
    }};
    return table[languageIndex(language)][static_cast<int>(which)];
}

std::string groupText(int language, int group) {
    static const std::string japanese = utf8ToSjis("ｸﾞﾙｰﾌﾟ:");
    char number[16];
    std::snprintf(number, sizeof number, "%d", group);
    return (language == 0 ? japanese : std::string("Group:")) + number;
}

const std::string& cycleText(int language, int group, int storingCycle) {
    constexpr int kHighSpeedText = 6;  // after the six storing cycles
    static const char* const utf8[kLanguages][kHighSpeedText + 1] = {
        {"収録周期:0.5秒", "収録周期:1秒", "収録周期:2秒", "収録周期:5秒", "収録周期:10秒",
         "収録周期:1分", "収録周期:0.05秒"},
        {"Cycle:0.5Sec.", "Cycle:1Sec.", "Cycle:2Sec.", "Cycle:5Sec.", "Cycle:10Sec.",
         "Cycle:1Min.", "Cycle:0.05Sec."},
    };
    static const TextTable<kHighSpeedText + 1> table = convertTable(utf8);
    int index = storingCycle >= 0 && storingCycle < kHighSpeedText ? storingCycle : 0;
    if (group == 0) index = kHighSpeedText;
    return table[languageIndex(language)][index];
}

}  // namespace kvt
