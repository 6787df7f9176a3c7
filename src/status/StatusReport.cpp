#include "status/StatusReport.h"

#include <cstdio>
#include <ctime>

#include "ProgramVersion.h"
#include "platform/Clock.h"

namespace kvt {
namespace {

struct Column {
    const char* english;
    const char* japanese;
    int width;
};

constexpr Column kNodeColumns[] = {
    {"Node", "ﾉｰﾄﾞ", 5},
    {"Requests", "要求", 10},
    {"Answers", "正常応答", 10},
    {"Timeouts", "ﾀｲﾑｱｳﾄ", 10},
    {"Wrong len/CRC/exc", "異常 長さ/CRC/例外", 21},
};
constexpr Column kLastAnswerColumn = {"Last answer", "最終正常応答", 0};

// Columns a UTF-8 text takes in a fixed-pitch font.
int displayWidth(const std::string& text) {
    int width = 0;
    for (size_t index = 0; index < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[index]);
        size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        bool halfWidthKana = length == 3 && lead == 0xEF && index + 2 < text.size() &&
                             ((static_cast<unsigned char>(text[index + 1]) == 0xBD &&
                               static_cast<unsigned char>(text[index + 2]) >= 0xA1) ||
                              static_cast<unsigned char>(text[index + 1]) == 0xBE);
        width += length == 1 || halfWidthKana ? 1 : 2;
        index += length;
    }
    return width;
}

std::string rightAligned(const std::string& text, int width) {
    int pad = width - displayWidth(text);
    return pad > 0 ? std::string(static_cast<size_t>(pad), ' ') + text : text;
}

std::string leftAligned(const std::string& text, int width) {
    int pad = width - displayWidth(text);
    return pad > 0 ? text + std::string(static_cast<size_t>(pad), ' ') : text;
}

std::string number(uint64_t value) { return std::to_string(value); }

std::string timeOfDayOrDate(int64_t epochSeconds) {
    if (epochSeconds == 0) return "-";
    time_t seconds = static_cast<time_t>(epochSeconds);
    time_t now = static_cast<time_t>(activeClock().epochSeconds());
    tm local{};
    tm today{};
    localtime_r(&seconds, &local);
    localtime_r(&now, &today);
    bool sameDay = local.tm_year == today.tm_year && local.tm_yday == today.tm_yday;
    char text[32];
    std::strftime(text, sizeof text, sameDay ? "%H:%M:%S" : "%m-%d %H:%M:%S", &local);
    return text;
}

std::string quoted(const std::string& text) {
    std::string out = "\"";
    for (size_t index = 0; index < text.size(); ++index) {
        unsigned char byte = static_cast<unsigned char>(text[index]);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += static_cast<char>(byte);
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
            out += escaped;
        } else if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else {
            // Whole UTF-8 characters pass; a stray byte becomes U+FFFD.
            size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC2 ? 2 : 0;
            bool whole = length > 0 && index + length <= text.size() && byte < 0xF5;
            for (size_t next = 1; whole && next < length; ++next) {
                whole = (static_cast<unsigned char>(text[index + next]) & 0xC0) == 0x80;
            }
            if (!whole) {
                out += "\\ufffd";
                continue;
            }
            out.append(text, index, length);
            index += length - 1;
        }
    }
    return out + "\"";
}

std::string jsonTime(int64_t epochSeconds) {
    return epochSeconds == 0 ? "null" : quoted(isoTime(epochSeconds));
}

std::string nodeJson(const NodeStatus& node) {
    return "{\"node\":" + number(node.node) + ",\"requests\":" + number(node.requests) +
           ",\"answers\":" + number(node.answers) + ",\"timeouts\":" + number(node.timeouts) +
           ",\"bad_answers\":" + number(node.badAnswers()) +
           ",\"bad_length\":" + number(node.wrongAnswers) + ",\"bad_crc\":" +
           number(node.crcErrors) + ",\"exceptions\":" + number(node.exceptions) +
           ",\"last_answer\":" + jsonTime(node.lastAnswer) + "}";
}

std::string groupJson(const GroupStatus& group) {
    return "{\"group\":" + number(group.group) + ",\"storing_mode\":" +
           quoted(storingModeName(group.storingMode)) + ",\"rows_today\":" +
           number(group.rowsToday) + ",\"last_row\":" + jsonTime(group.lastRow) +
           ",\"dropped\":" + number(group.dropped) + "}";
}

std::string publisherJson(const PublisherStatus& publisher) {
    if (!publisher.configured) return "null";
    return std::string("{\"connected\":") + (publisher.connected ? "true" : "false") +
           ",\"broker\":" + quoted(publisher.broker) + ",\"spooled\":" +
           number(publisher.spooledMessages) + ",\"dropped\":" + number(publisher.droppedMessages) +
           ",\"last_error\":" +
           (publisher.lastError[0] != '\0' ? quoted(publisher.lastError) : std::string("null")) + "}";
}

std::string publisherLine(const PublisherStatus& publisher) {
    if (!publisher.configured) return "Publisher: off\n";
    std::string line = publisher.connected ? "Publisher: connected to " : "Publisher: not connected to ";
    line += publisher.broker;
    if (publisher.lastError[0] != '\0') line += std::string(" (") + publisher.lastError + ")";
    return line + ", " + number(publisher.spooledMessages) + " messages spooled, " +
           number(publisher.droppedMessages) + " dropped\n";
}

template <typename Item, typename Format>
std::string jsonList(const Item* items, int count, Format format) {
    std::string list = "[";
    for (int index = 0; index < count; ++index) {
        if (index > 0) list += ",";
        list += format(items[index]);
    }
    return list + "]";
}

// One line of the group table: group, storing mode, rows today, last row,
// dropped.
std::string groupLine(const std::string& group, const std::string& mode, const std::string& rows,
                      const std::string& lastRow, const std::string& dropped) {
    return rightAligned(group, 5) + "  " + leftAligned(mode, 14) + rightAligned(rows, 10) + "  " +
           leftAligned(lastRow, 25) + rightAligned(dropped, 8) + "\n";
}

std::string groupLine(const GroupStatus& group) {
    return groupLine(number(group.group), storingModeName(group.storingMode),
                     number(group.rowsToday), group.lastRow != 0 ? isoTime(group.lastRow) : "-",
                     number(group.dropped));
}

}  // namespace

std::string isoTime(int64_t epochSeconds) {
    if (epochSeconds == 0) return "";
    time_t seconds = static_cast<time_t>(epochSeconds);
    tm local{};
    localtime_r(&seconds, &local);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S%z", &local);
    // "+0900" becomes "+09:00".
    std::string iso = text;
    if (iso.size() >= 5) iso.insert(iso.size() - 2, ":");
    return iso;
}

const char* modeName(int operatingMode) {
    switch (operatingMode) {
    case kDemoMode:
        return "demo";
    case kHighSpeedMode:
        return "high speed";
    default:
        return "normal";
    }
}

std::vector<std::string> nodeTableLines(const RecorderStatus& status, bool japanese,
                                        bool timesOfDay) {
    std::string header;
    for (const Column& column : kNodeColumns) {
        header += rightAligned(japanese ? column.japanese : column.english, column.width);
    }
    header += "  ";
    header += japanese ? kLastAnswerColumn.japanese : kLastAnswerColumn.english;
    std::vector<std::string> lines{header};
    for (int index = 0; index < status.nodeCount; ++index) {
        const NodeStatus& node = status.nodes[index];
        std::string bad = number(node.wrongAnswers) + "/" + number(node.crcErrors) + "/" +
                          number(node.exceptions);
        std::string last = timesOfDay ? timeOfDayOrDate(node.lastAnswer)
                                      : (node.lastAnswer != 0 ? isoTime(node.lastAnswer) : "-");
        lines.push_back(rightAligned(number(node.node), kNodeColumns[0].width) +
                        rightAligned(number(node.requests), kNodeColumns[1].width) +
                        rightAligned(number(node.answers), kNodeColumns[2].width) +
                        rightAligned(number(node.timeouts), kNodeColumns[3].width) +
                        rightAligned(bad, kNodeColumns[4].width) + "  " + last);
    }
    return lines;
}

std::string statusText(const RecorderStatus& status) {
    std::string text = "kvt936p " KVT_PROGRAM_VERSION ", ";
    text += status.windowless ? "recording without a window\n" : "recording with its window\n";
    text += "Mode: " + std::string(modeName(status.mode)) + "\n";
    text += std::string("Measuring: ") + (status.measuring ? "yes" : "no") + ", since " +
            isoTime(status.since) + "\n";
    if (status.nodeCount == 0) {
        text += "Nodes: none polled in this mode\n";
    } else {
        text += "Nodes (since the measurement started):\n";
        for (const std::string& line : nodeTableLines(status, false, false)) text += line + "\n";
    }
    text += "Groups:\n";
    text += groupLine("Group", "Storing mode", "Rows today", "Last row", "Dropped");
    for (const GroupStatus& group : status.groups) text += groupLine(group);
    text += "Rows dropped, all groups: " + number(status.droppedInAll) + "\n";
    text += std::string("Write failure: ") +
            (status.writeFailing ? status.writeFailure : "none") + "\n";
    return text + publisherLine(status.publisher);
}

std::string statusJson(const RecorderStatus& status) {
    std::string json = "{\"version\":\"" KVT_PROGRAM_VERSION "\",\"holder\":";
    json += status.windowless ? "\"headless\"" : "\"window\"";
    json += ",\"mode\":" + quoted(modeName(status.mode));
    json += std::string(",\"measuring\":") + (status.measuring ? "true" : "false");
    json += ",\"since\":" + jsonTime(status.since);
    json += ",\"nodes\":" + jsonList(status.nodes, status.nodeCount, nodeJson);
    json += ",\"groups\":" + jsonList(status.groups, kTrendGroupCount, groupJson);
    json += ",\"dropped_in_all\":" + number(status.droppedInAll);
    json += ",\"write_failure\":" +
            (status.writeFailing ? quoted(status.writeFailure) : std::string("null"));
    json += ",\"publisher\":" + publisherJson(status.publisher);
    return json + "}\n";
}

}  // namespace kvt
