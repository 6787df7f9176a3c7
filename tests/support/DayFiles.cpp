#include "support/DayFiles.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "platform/Paths.h"
#include "recording/CsvRow.h"

namespace kvt::test {

void makePensPlain(ConfigurationRecord& config) {
    for (auto& pens : config.pens) {
        for (PenSettings& pen : pens) {
            pen.enabled = 1;
            pen.isDiscrete = 0;
            pen.logScale = 0;
            pen.decimalPlaces = 3;
            pen.inputLow = pen.scaleLow = 0;
            pen.inputHigh = pen.scaleHigh = 100;
        }
    }
}

std::vector<SampleData> samplesEvery(int64_t firstEpochMs, int spacingMs, int count,
                                     double firstNumber) {
    std::vector<SampleData> samples(static_cast<size_t>(count));
    for (int index = 0; index < count; ++index) {
        int64_t at = firstEpochMs + int64_t{spacingMs} * index;
        SampleData& sample = samples[static_cast<size_t>(index)];
        sample.time = localTimeOf(at / 1000, static_cast<int>(at % 1000));
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            sample.values[pen] = plainPenValue(firstNumber + index, pen);
        }
    }
    return samples;
}

std::string dayFilePathOf(const SystemTime& time, int group) {
    char path[4096];
    std::snprintf(path, sizeof path, "%s/%04d%02d%02d/GR%d.CSV", dataFolder(), time.year,
                  time.month, time.day, group);
    return path;
}

void writeDayFiles(const ConfigurationRecord& config, int group,
                   const std::vector<SampleData>& samples) {
    std::map<std::string, std::string> rowsByFile;
    char row[kMaxRowLength];
    for (const SampleData& sample : samples) {
        int length = formatCsvRow(row, config, group, sample);
        rowsByFile[dayFilePathOf(sample.time, group)].append(row, static_cast<size_t>(length));
    }
    for (const auto& [path, rows] : rowsByFile) {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        bool fresh = !std::filesystem::exists(path);
        std::ofstream file(path, std::ios::binary | std::ios::app);
        if (fresh) {
            char block[kHeaderBlockSize];
            formatHeaderBlock(block, config, group, HeaderLine::Tags);
            file.write(block, sizeof block);
            formatHeaderBlock(block, config, group, HeaderLine::Units);
            file.write(block, sizeof block);
        }
        file.write(rows.data(), static_cast<std::streamsize>(rows.size()));
    }
}

}  // namespace kvt::test
