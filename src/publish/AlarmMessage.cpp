#include "publish/AlarmMessage.h"

#include <cstring>

#include "export/IsoTime.h"
#include "export/RowMessage.h"
#include "platform/SjisText.h"

namespace kvt {

std::string alarmMessage(const char* isoTime, int group, int pen, int code,
                         const PenSettings& settings) {
    static const char* const kSlots[2][2] = {{"lower", "upper"}, {"off", "on"}};
    bool upper = code >= 2;
    bool cleared = code % 2 == 1;
    std::string message = "{\"time\": \"";
    message.append(isoTime, kIsoTimeLength);
    message += "\", \"group\": " + std::to_string(group) + ", \"pen\": " + std::to_string(pen + 1) +
               ", \"tag\": ";
    appendJsonString(message, sjisToUtf8({settings.tag, strnlen(settings.tag, sizeof settings.tag)}));
    message += ", \"slot\": \"";
    message += kSlots[settings.isDiscrete != 0 ? 1 : 0][upper ? 1 : 0];
    message += cleared ? "\", \"state\": \"went\"}" : "\", \"state\": \"came\"}";
    return message;
}

}  // namespace kvt
