#include "display/TopBarTexts.h"

#include <array>
#include <cstdio>

#include "display/ButtonLayout.h"
#include "platform/SjisText.h"

namespace kvt {
namespace {

constexpr int kLanguages = 2;  // index 0 Japanese, 1 English
constexpr int kCaptions = kPlaybackCommandButtons;  // live tables leave the last two empty

using CaptionTable = std::array<std::array<std::string, kCaptions>, kLanguages>;

CaptionTable convertTable(const char* const (&utf8)[kLanguages][kCaptions]) {
    CaptionTable table;
    for (int language = 0; language < kLanguages; ++language) {
        for (int index = 0; index < kCaptions; ++index) {
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

std::string cycleText(int language, int group, int storingCycle) {
    static const std::string japanesePrefix = utf8ToSjis("収録周期:");
    static const std::string japaneseSeconds = utf8ToSjis("秒");
    static const std::string japaneseMinute = utf8ToSjis("分");
    static const char* const seconds[] = {"0.5", "1", "2", "5", "10"};
    bool english = language != 0;
    std::string amount;
    bool inMinutes = false;
    if (group == 0) {
        amount = "0.05";
    } else if (storingCycle == 5) {
        amount = "1";
        inMinutes = true;
    } else {
        amount = seconds[storingCycle >= 0 && storingCycle < 5 ? storingCycle : 0];
    }
    if (english) return "Cycle:" + amount + (inMinutes ? "Min." : "Sec.");
    return japanesePrefix + amount + (inMinutes ? japaneseMinute : japaneseSeconds);
}

}  // namespace kvt
