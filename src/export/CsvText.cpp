#include "export/CsvText.h"

namespace kvt {

void appendCsvField(std::string& out, std::string_view field) {
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
}

std::string columnName(const PenLabel& label, int group) {
    std::string name = group >= 0 ? "G" + std::to_string(group) + " " : std::string();
    name += label.tag.empty() ? "pen " + std::to_string(label.pen + 1) : label.tag;
    if (!label.unit.empty()) name += " [" + label.unit + "]";
    return name;
}

}  // namespace kvt
