#include "export/DayExport.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <optional>

#include "core/Defaults.h"
#include "core/SettingsPlausibility.h"
#include "export/CsvText.h"
#include "export/GroupRows.h"
#include "export/PenValueText.h"

namespace kvt {
namespace {

constexpr size_t kFlushSize = size_t{1} << 20;

// The settings file of the data folder, read without changing anything
// (the recorder's loader may keep a backup of a damaged file).
std::optional<ConfigurationRecord> readSettings(const std::string& folder) {
    std::string path = folder + "/KVT936P.LPPU";
    int descriptor = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) return std::nullopt;
    auto record = std::make_optional<ConfigurationRecord>();
    struct stat status {};
    bool whole = fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode) &&
                 status.st_size == static_cast<off_t>(sizeof *record) &&
                 read(descriptor, &*record, sizeof *record) == static_cast<ssize_t>(sizeof *record);
    close(descriptor);
    if (!whole || std::memcmp(record->version, kVersionMark, 6) != 0 ||
        firstImplausibleField(*record) != nullptr) {
        return std::nullopt;
    }
    return record;
}

class Output {
public:
    explicit Output(int descriptor) : descriptor_(descriptor) { text_.reserve(kFlushSize * 2); }

    std::string& text() { return text_; }
    bool ok() const { return ok_; }

    void flushIfFull() {
        if (text_.size() >= kFlushSize) flush();
    }
    void flush() {
        size_t done = 0;
        while (ok_ && done < text_.size()) {
            ssize_t written = write(descriptor_, text_.data() + done, text_.size() - done);
            if (written < 0 && errno == EINTR) continue;
            ok_ = written > 0;
            if (ok_) done += static_cast<size_t>(written);
        }
        text_.clear();
    }

private:
    int descriptor_;
    std::string text_;
    bool ok_ = true;
};

struct Stream {
    std::unique_ptr<GroupRows> rows;
    bool hasRow = false;
    int64_t written = 0;
};

void appendCsvHeader(std::string& out, const std::vector<Stream>& streams) {
    out += "time";
    for (const Stream& stream : streams) {
        for (const PenLabel& label : stream.rows->firstLabels()) {
            out += ',';
            appendCsvField(out, columnName(label, streams.size() > 1 ? stream.rows->group() : -1));
        }
    }
    out += "\r\n";
}

void appendCsvValues(std::string& out, const GroupRows& rows) {
    char value[kPenValueTextCapacity];
    const DayFileRows& file = rows.file();
    for (const PenLabel& label : rows.firstLabels()) {
        out += ',';
        int length = penValueText(file.row() + penFieldOffset(label.pen), file.values()[label.pen], value);
        out.append(value, static_cast<size_t>(length));
    }
}

void appendEmptyCells(std::string& out, const GroupRows& rows) {
    out.append(rows.firstLabels().size(), ',');
}

// The streams with a row at the earliest time among them.
int64_t earliestTime(const std::vector<Stream>& streams) {
    int64_t earliest = INT64_MAX;
    for (const Stream& stream : streams) {
        if (stream.hasRow && stream.rows->epochMilliseconds() < earliest) {
            earliest = stream.rows->epochMilliseconds();
        }
    }
    return earliest;
}

void writeCsvLine(std::string& out, std::vector<Stream>& streams, int64_t time) {
    bool timeWritten = false;
    for (Stream& stream : streams) {
        bool due = stream.hasRow && stream.rows->epochMilliseconds() == time;
        if (due && !timeWritten) {
            out.append(stream.rows->isoTime(), kIsoTimeLength);
            timeWritten = true;
        }
    }
    for (Stream& stream : streams) {
        if (stream.hasRow && stream.rows->epochMilliseconds() == time) {
            appendCsvValues(out, *stream.rows);
            ++stream.written;
            stream.hasRow = stream.rows->next();
        } else {
            appendEmptyCells(out, *stream.rows);
        }
    }
    out += "\r\n";
}

void writeJsonLines(std::string& out, std::vector<Stream>& streams, int64_t time) {
    for (Stream& stream : streams) {
        while (stream.hasRow && stream.rows->epochMilliseconds() == time) {
            GroupRows& rows = *stream.rows;
            rows.messages().append(out, rows.isoTime(), rows.file().row(), rows.file().values());
            out += '\n';
            ++stream.written;
            stream.hasRow = rows.next();
        }
    }
}

}  // namespace

ExportOutcome exportDayFiles(const ExportRequest& request, int output) {
    ExportOutcome outcome;
    std::optional<ConfigurationRecord> settings = readSettings(request.dataFolder);
    outcome.settingsRead = settings.has_value();
    std::vector<Stream> streams;
    for (int group : request.groups) {
        Stream stream;
        stream.rows = std::make_unique<GroupRows>(request.dataFolder, group, request.from, request.to,
                                                  settings ? &*settings : nullptr);
        stream.hasRow = stream.rows->next();
        streams.push_back(std::move(stream));
    }
    Output out(output);
    if (request.format == ExportFormat::Csv) appendCsvHeader(out.text(), streams);
    for (int64_t time = earliestTime(streams); time != INT64_MAX && out.ok();
         time = earliestTime(streams)) {
        if (request.format == ExportFormat::Csv) {
            writeCsvLine(out.text(), streams, time);
        } else {
            writeJsonLines(out.text(), streams, time);
        }
        out.flushIfFull();
    }
    out.flush();
    outcome.written = out.ok();
    for (const Stream& stream : streams) {
        const GroupRows& rows = *stream.rows;
        outcome.groups.push_back({rows.group(), rows.filesRead(), stream.written, rows.rowsSkipped()});
        outcome.refusedFiles.insert(outcome.refusedFiles.end(), rows.refusedFiles().begin(),
                                    rows.refusedFiles().end());
    }
    return outcome;
}

}  // namespace kvt
