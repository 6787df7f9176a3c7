#pragma once
#include <cstdio>
#include <string>

namespace kvt::nodesim {

// Where the simulator reports writes (and, verbose, every request): standard
// output or an appended log file; every line is flushed at once so tests and
// people see it immediately.
class EventLog {
public:
    explicit EventLog(const std::string& path);
    ~EventLog();
    EventLog(const EventLog&) = delete;
    EventLog& operator=(const EventLog&) = delete;

    bool usable() const { return stream_ != nullptr; }
    void line(const std::string& text);

private:
    FILE* stream_ = nullptr;
    bool ownsStream_ = false;
};

}  // namespace kvt::nodesim
