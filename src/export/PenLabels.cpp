#include "export/PenLabels.h"

#include <algorithm>
#include <cstring>

#include "platform/SjisText.h"

namespace kvt {
namespace {

std::string_view storedText(const char* field, size_t capacity) {
    return {field, strnlen(field, capacity)};
}

bool takesWhole(std::string_view rest, std::string_view known, size_t& commasLeft) {
    size_t commas = static_cast<size_t>(std::count(known.begin(), known.end(), ','));
    if (commas == 0 || commas > commasLeft || rest.substr(0, known.size()) != known) return false;
    if (rest.size() > known.size() && rest[known.size()] != ',') return false;
    commasLeft -= commas;
    return true;
}

void knownTexts(const ConfigurationRecord* settings, int group, bool tags,
                std::string_view (&known)[kPensPerGroup]) {
    for (int pen = 0; pen < kPensPerGroup; ++pen) {
        known[pen] = {};
        if (settings == nullptr || pen >= pensOfGroup(group)) continue;
        const PenSettings& stored = settings->pen(group, pen);
        known[pen] = tags ? storedText(stored.tag, sizeof stored.tag)
                          : storedText(stored.unit, sizeof stored.unit);
    }
}

bool isEnabled(const ConfigurationRecord* settings, int group, int pen) {
    return settings == nullptr || settings->pen(group, pen).enabled != 0;
}

}  // namespace

bool splitHeaderBlock(std::string_view block, int group, const std::string_view (&known)[kPensPerGroup],
                      std::string (&texts)[kPensPerGroup]) {
    for (std::string& text : texts) text.clear();
    std::string_view line = block.substr(0, std::min(block.find('\0'), block.find('\n')));
    if (line.substr(0, 2) != ",,") return false;
    const int pens = pensOfGroup(group);
    size_t commasLeft = static_cast<size_t>(std::count(line.begin(), line.end(), ','));
    commasLeft = commasLeft > static_cast<size_t>(2 + pens) ? commasLeft - 2 - pens : 0;
    size_t at = 2;
    for (int pen = 0; pen < pens && at < line.size() && line[at] == ','; ++pen) {
        std::string_view rest = line.substr(++at);
        size_t length = rest.find(',');
        if (takesWhole(rest, known[pen], commasLeft)) length = known[pen].size();
        if (pen == pens - 1 || length == std::string_view::npos) length = rest.size();
        texts[pen] = std::string(rest.substr(0, length));
        at += length;
    }
    return true;
}

std::vector<PenLabel> penLabelsOf(std::string_view tagBlock, std::string_view unitBlock, int group,
                                  const ConfigurationRecord* settings) {
    std::string_view knownTags[kPensPerGroup];
    std::string_view knownUnits[kPensPerGroup];
    knownTexts(settings, group, true, knownTags);
    knownTexts(settings, group, false, knownUnits);
    std::string tags[kPensPerGroup];
    std::string units[kPensPerGroup];
    splitHeaderBlock(tagBlock, group, knownTags, tags);
    splitHeaderBlock(unitBlock, group, knownUnits, units);
    std::vector<PenLabel> labels;
    for (int pen = 0; pen < pensOfGroup(group); ++pen) {
        if (!isEnabled(settings, group, pen)) continue;
        labels.push_back({pen, sjisToUtf8(tags[pen]), sjisToUtf8(units[pen])});
    }
    return labels;
}

std::vector<PenLabel> penLabelsOf(const ConfigurationRecord& settings, int group) {
    std::vector<PenLabel> labels;
    for (int pen = 0; pen < pensOfGroup(group); ++pen) {
        const PenSettings& stored = settings.pen(group, pen);
        if (stored.enabled == 0) continue;
        labels.push_back({pen, sjisToUtf8(storedText(stored.tag, sizeof stored.tag)),
                          sjisToUtf8(storedText(stored.unit, sizeof stored.unit))});
    }
    return labels;
}

}  // namespace kvt
