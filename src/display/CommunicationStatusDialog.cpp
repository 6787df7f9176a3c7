#include "display/CommunicationStatusDialog.h"

#include <ctime>
#include <string>

#include "core/ConfigurationRecord.h"
#include "core/LanguageText.h"
#include "core/RunFlags.h"
#include "status/RecorderStatus.h"
#include "status/StatusReport.h"

namespace kvt {
namespace {

enum ControlId : int {
    kSummaryLabel = 1001,
    kHeaderLabel = 1002,
    kNodeList = 1003,
};

const char* modeText(int mode) {
    switch (mode) {
    case kDemoMode:
        return byLanguage("Demo mode", "ﾃﾞﾓﾓｰﾄﾞ");
    case kHighSpeedMode:
        return byLanguage("High speed mode", "Modbus 高速ﾓｰﾄﾞ");
    default:
        return byLanguage("Normal mode", "Modbus 中速ﾓｰﾄﾞ");
    }
}

// "2026-06-10 09:00:00" in local time.
std::string localTimeText(int64_t epochSeconds) {
    time_t seconds = static_cast<time_t>(epochSeconds);
    tm local{};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return text;
}

// "Normal mode, measuring since 2026-06-10 09:00:00" and the like.
std::string summaryOf(const RecorderStatus& status) {
    std::string since = localTimeText(status.since);
    if (languageFlag != 0) {
        return std::string(modeText(status.mode)) +
               (status.measuring ? ", measuring since " : ", stopped since ") + since;
    }
    return std::string(modeText(status.mode)) + (status.measuring ? "、計測中（" : "、停止中（") +
           since + "から）";
}

}  // namespace

const DialogTemplate& CommunicationStatusDialog::layout() {
    static const DialogTemplate dialogTemplate{
        101,
        "通信状態",
        290,
        190,
        {
            {kSummaryLabel, ControlKind::Label, {7, 7, 276, 8}, ""},
            {kHeaderLabel, ControlKind::Label, {7, 22, 276, 8}, "", kFixedPitch},
            {kNodeList, ControlKind::ListBox, {7, 32, 276, 128}, "", kFixedPitch | kNoSelection},
            {IDOK, ControlKind::DefaultButton, {233, 168, 50, 14}, "OK"},
        },
        "Communication status",
        {},
    };
    return dialogTemplate;
}

CommunicationStatusDialog::CommunicationStatusDialog() : Dialog(layout()) {}

bool CommunicationStatusDialog::onInitDialog() {
    if (languageFlag != 0) applyEnglishCaptions();
    setTickInterval(kRefreshMs);
    showStatus();
    return true;
}

void CommunicationStatusDialog::onTick() { showStatus(); }

void CommunicationStatusDialog::showStatus() {
    RecorderStatus status = gatherRecorderStatus(liveConfiguration, false);
    setText(kSummaryLabel, summaryOf(status));
    std::vector<std::string> lines = nodeTableLines(status, languageFlag == 0, true);
    setText(kHeaderLabel, lines.front());
    clearItems(kNodeList);
    if (status.nodeCount == 0) {
        addItem(kNodeList, byLanguage("No node is polled in this mode.",
                                      "このﾓｰﾄﾞではﾉｰﾄﾞと通信しません。"));
    }
    for (size_t index = 1; index < lines.size(); ++index) addItem(kNodeList, lines[index]);
}

}  // namespace kvt
