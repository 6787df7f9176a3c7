#include "EventLog.h"

namespace kvt::nodesim {

EventLog::EventLog(const std::string& path) {
    if (path.empty()) {
        stream_ = stdout;
        return;
    }
    stream_ = std::fopen(path.c_str(), "a");
    ownsStream_ = stream_ != nullptr;
}

EventLog::~EventLog() {
    if (ownsStream_) std::fclose(stream_);
}

void EventLog::line(const std::string& text) {
    if (stream_ == nullptr) return;
    std::fprintf(stream_, "%s\n", text.c_str());
    std::fflush(stream_);
}

}  // namespace kvt::nodesim
