#include "display/WriteFailureMessages.h"

#include <cerrno>
#include <cstring>

#include "core/RunFlags.h"
#include "platform/MessageBox.h"

namespace kvt {
namespace {

std::string reasonText(int error, int language) {
    if (const char* reason = writeFailureReason(error, language)) return reason;
    const char* system = strerrordesc_np(error);
    std::string text = system != nullptr ? system : "unknown error";
    return text + " (errno " + std::to_string(error) + ")";
}

}  // namespace

std::string writeFailureText(const WriteFailure& failure, int language) {
    std::string reason = reasonText(failure.error, language);
    if (language != 0) {
        return std::string("Recording data cannot be written to\n") + failure.path + "\n(" +
               reason + ").\nRows and alarm records wait in memory, and the oldest are dropped "
               "once it is full. The Disk lamp stays red until writing works again.";
    }
    return std::string("記録データを書き込めません:\n") + failure.path + "\n(" + reason +
           ")\nデータはメモリで待機し、いっぱいになると古いものから破棄されます。"
           "書き込めるようになるまで Disk ランプは赤く点灯します。";
}

std::string writingResumedText(const OutageDrops& drops, int language) {
    bool lost = drops.rows > 0 || drops.alarmRecords > 0;
    std::string rows = std::to_string(drops.rows);
    std::string alarms = std::to_string(drops.alarmRecords);
    if (language != 0) {
        return "Recording data is written again. " +
               (lost ? rows + " rows and " + alarms + " alarm records had to be dropped."
                     : std::string("Nothing had to be dropped."));
    }
    return "記録データの書き込みが再開しました。" +
           (lost ? "破棄されたデータ: " + rows + " 行、アラーム記録 " + alarms + " 件。"
                 : std::string("破棄されたデータはありません。"));
}

void reportWriteFailure() {
    WriteFailure failure;
    if (!reportedWriteFailure(failure)) return;
    messageBox(writeFailureText(failure, languageFlag), kButtonsOk, writeFailureText(failure, 1),
               MessageSeverity::Error);
}

void reportWritingResumed() {
    OutageDrops drops = lastOutageDrops();
    messageBox(writingResumedText(drops, languageFlag), kButtonsOk, writingResumedText(drops, 1));
}

}  // namespace kvt
