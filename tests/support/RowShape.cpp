#include "support/RowShape.h"

#include "recording/CsvRow.h"
#include "recording/ValueText.h"

namespace kvt::test {
namespace {

constexpr int kTimeComma = 8;          // "hh:mm:ss,"
constexpr int kMillisecondsComma = 12;  // "mmm,"
constexpr int kFirstValueComma = 14;   // trigger state, then ",value" per pen

bool isCommaPosition(int position, int group) {
    if (position == kTimeComma || position == kMillisecondsComma) return true;
    int offset = position - kFirstValueComma;
    return offset >= 0 && offset % (kValueTextWidth + 1) == 0 &&
           offset / (kValueTextWidth + 1) < pensOfGroup(group);
}

}  // namespace

bool hasDayFileRowShape(const char* row, int length, int group) {
    if (length != rowLengthOf(group) || row[length - 1] != '\n') return false;
    for (int position = 0; position < length - 1; ++position) {
        char character = row[position];
        if (character < ' ' || character > '~') return false;
        if ((character == ',') != isCommaPosition(position, group)) return false;
    }
    return true;
}

}  // namespace kvt::test
