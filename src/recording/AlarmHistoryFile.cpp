#include "recording/AlarmHistoryFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string_view>

#include "platform/PlainFiles.h"
#include "platform/ReplacementFile.h"
#include "platform/SjisText.h"
#include "recording/AlarmHistory.h"

namespace kvt {
namespace {

constexpr size_t kTextLength = kAlarmRecordLength - 1;  // without the line feed
constexpr size_t kReadBlock = 64 * 1024;
constexpr size_t kEventTextStart = 26;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int twoDigits(std::string_view text, size_t at) { return (text[at] - '0') * 10 + (text[at + 1] - '0'); }

// "YYYY/MM/DD,hh:mm:ss,gg,pp," with digits where the pattern has 'd'.
bool fixedColumnsValid(std::string_view line) {
    static constexpr std::string_view kPattern = "dddd/dd/dd,dd:dd:dd,dd,dd,";
    for (size_t at = 0; at < kPattern.size(); ++at) {
        bool matches = kPattern[at] == 'd' ? isDigit(line[at]) : line[at] == kPattern[at];
        if (!matches) return false;
    }
    int group = twoDigits(line, 20);
    int pen = twoDigits(line, 23);
    return group >= 1 && group <= kTrendGroupCount && pen >= 1 && pen <= kPensPerGroup;
}

// The event text: printable ASCII, half-width katakana and double-byte
// Shift-JIS characters; a carriage return ends it.
bool eventTextValid(std::string_view text) {
    for (size_t at = 0; at < text.size(); ++at) {
        unsigned char byte = static_cast<unsigned char>(text[at]);
        if (byte == '\r') return true;
        if ((byte >= 0x20 && byte <= 0x7E) || (byte >= 0xA1 && byte <= 0xDF)) continue;
        bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
        if (!lead || at + 1 >= text.size()) return false;
        unsigned char trail = static_cast<unsigned char>(text[++at]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return false;
    }
    return true;
}

// The line as the viewer lists it, or empty when the filter hides it or it
// is no record. Of a line longer than a record only its end counts: a torn
// append followed by whole records leaves the last of them there.
std::string shownLine(std::string_view line, const AlarmHistoryFilter& filter) {
    if (line.size() < kTextLength) return {};
    line = line.substr(line.size() - kTextLength);
    if (!fixedColumnsValid(line)) return {};
    if (!eventTextValid(line.substr(kEventTextStart))) return {};
    if (!filter.groupShown[twoDigits(line, 20)]) return {};
    if (line.substr(0, 10) > std::string_view(filter.lastDate, strnlen(filter.lastDate, 10))) {
        return {};
    }
    std::string text(line.substr(0, line.find('\r')));
    for (char& c : text) {
        if (c == ',') c = ' ';
    }
    return sjisToUtf8(text);
}

bool readAt(int descriptor, char* buffer, size_t length, off_t offset) {
    while (length > 0) {
        ssize_t got = pread(descriptor, buffer, length, offset);
        if (got <= 0) return false;
        buffer += got;
        length -= static_cast<size_t>(got);
        offset += got;
    }
    return true;
}

// Walks the file's lines from the last whole one back to the first,
// reading blocks from the end. A line is visited once its start is read.
class BackwardLines {
public:
    BackwardLines(int descriptor, off_t size) : descriptor_(descriptor), position_(size) {}

    // Calls `visit(line)` (without its line feed) for each line, newest
    // first, until it returns false or the file is read.
    template <typename Visit>
    void forEach(Visit visit) {
        std::string region;
        while (position_ > 0) {
            size_t length = position_ < static_cast<off_t>(kReadBlock)
                                ? static_cast<size_t>(position_)
                                : kReadBlock;
            position_ -= static_cast<off_t>(length);
            region.resize(length);
            if (!readAt(descriptor_, region.data(), length, position_)) return;
            region += carry_;
            if (!splitRegion(region, visit)) return;
        }
        if (!carry_.empty()) visit(std::string_view(carry_).substr(0, carry_.size() - 1));
    }

private:
    // Visits the lines that start in `region` (a block and the carried
    // line after it); the first line, whose start lies further back,
    // becomes the carry. False when `visit` says stop.
    template <typename Visit>
    bool splitRegion(const std::string& region, Visit& visit) {
        size_t end = region.size();
        if (!seenLastLineEnd_) {
            // What follows the last line feed is a record still being written.
            size_t lastFeed = region.rfind('\n');
            if (lastFeed == std::string::npos) return true;
            end = lastFeed + 1;
            seenLastLineEnd_ = true;
            carry_.clear();
        }
        while (end >= 2) {
            size_t previousFeed = region.rfind('\n', end - 2);
            if (previousFeed == std::string::npos) break;
            std::string_view line(region.data() + previousFeed + 1, end - previousFeed - 2);
            if (!visit(line)) return false;
            end = previousFeed + 1;
        }
        // Only the end of a line can be a record: the carry never grows
        // beyond one record and its line feed.
        size_t kept = end < kAlarmRecordLength ? end : kAlarmRecordLength;
        carry_.assign(region.data() + end - kept, kept);
        return true;
    }

    int descriptor_;
    off_t position_;
    std::string carry_;  // the end of the line whose start lies further back, with its line feed
    bool seenLastLineEnd_ = false;
};

}  // namespace

std::vector<std::string> readAlarmHistory(const char* path, const AlarmHistoryFilter& filter,
                                          size_t most) {
    std::vector<std::string> lines;
    // A pipe in the file's place would hold the window for good.
    int descriptor = openPlainFile(path, O_RDONLY);
    if (descriptor < 0) return lines;
    off_t size = lseek(descriptor, 0, SEEK_END);
    if (size > 0 && most > 0) {
        BackwardLines(descriptor, size).forEach([&](std::string_view line) {
            std::string shown = shownLine(line, filter);
            if (!shown.empty()) lines.push_back(std::move(shown));
            return lines.size() < most;
        });
    }
    close(descriptor);
    return lines;
}

int clearAlarmHistory(const char* path) {
    ReplacementFile empty(path);
    return empty.commit() ? 0 : -1;
}

}  // namespace kvt
