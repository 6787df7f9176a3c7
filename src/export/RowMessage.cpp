#include "export/RowMessage.h"

#include "export/IsoTime.h"
#include "export/PenValueText.h"

namespace kvt {
namespace {

int digitOrZero(char c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

}  // namespace

void appendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

int rowMilliseconds(const char* row, const RowTime& time) {
    return time.tenths * 100 + time.hundredths * 10 + digitOrZero(row[11]);
}

int rowTrigger(const char* row) { return digitOrZero(row[kRowTriggerColumn]); }

RowMessageFormat::RowMessageFormat(int group, const char* storingMode,
                                   const std::vector<PenLabel>& pens) {
    groupPart_ = "\", \"group\": " + std::to_string(group) + ", \"storing_mode\": ";
    if (storingMode == nullptr) {
        groupPart_ += "null";
    } else {
        appendJsonString(groupPart_, storingMode);
    }
    groupPart_ += ", \"trigger\": ";
    for (const PenLabel& label : pens) {
        std::string head = "{\"pen\": " + std::to_string(label.pen + 1) + ", \"tag\": ";
        appendJsonString(head, label.tag);
        head += ", \"unit\": ";
        appendJsonString(head, label.unit);
        head += ", \"value\": ";
        pens_.push_back({label.pen, std::move(head)});
    }
}

void RowMessageFormat::append(std::string& out, const char* isoTime, const char* row,
                              const double (&values)[kPensPerGroup]) const {
    out += "{\"time\": \"";
    out.append(isoTime, kIsoTimeLength);
    out += groupPart_;
    out += static_cast<char>('0' + rowTrigger(row));
    out += ", \"pens\": [";
    char value[kPenValueTextCapacity];
    for (size_t index = 0; index < pens_.size(); ++index) {
        const PenPart& part = pens_[index];
        if (index > 0) out += ", ";
        out += part.head;
        int length = penValueText(row + penFieldOffset(part.pen), values[part.pen], value);
        if (length > 0) {
            out.append(value, static_cast<size_t>(length));
        } else {
            out += "null";
        }
        out += '}';
    }
    out += "]}";
}

}  // namespace kvt
