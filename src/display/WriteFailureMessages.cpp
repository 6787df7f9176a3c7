#include "display/WriteFailureMessages.h"

#include <cerrno>
#include <cstring>

#include "core/RunFlags.h"
#include "platform/MessageBox.h"

namespace kvt {
namespace {

struct ReasonText {
    int error;
    const char* english;
    const char* japanese;
};

// The reasons a plant PC meets; any other is told by the system's own words.
constexpr ReasonText kReasons[] = {
    {EACCES, "permission denied", "アクセス権がありません"},
    {EPERM, "permission denied", "アクセス権がありません"},
    {EROFS, "the disk is read-only", "ディスクが読み取り専用です"},
    {ENOSPC, "the disk is full", "ディスクの空き容量がありません"},
    {EDQUOT, "the disk quota is used up", "ディスク容量の割り当てを使い切りました"},
    {EISDIR, "a folder stands where the file belongs", "ファイルの場所にフォルダがあります"},
    {ENOTDIR, "a file stands where a folder belongs", "フォルダの場所にファイルがあります"},
    {ENOENT, "the folder is missing", "フォルダがありません"},
    {EIO, "the disk reports an input/output error", "ディスクの入出力エラーです"},
    {EFBIG, "the file is too large", "ファイルが大きすぎます"},
};

std::string reasonText(int error, int language) {
    for (const ReasonText& reason : kReasons) {
        if (reason.error == error) return language != 0 ? reason.english : reason.japanese;
    }
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
    messageBox(writeFailureText(failure, languageFlag));
}

void reportWritingResumed() { messageBox(writingResumedText(lastOutageDrops(), languageFlag)); }

}  // namespace kvt
