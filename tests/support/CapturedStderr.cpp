#include "support/CapturedStderr.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <stdexcept>

namespace kvt::test {

CapturedStderr::CapturedStderr() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kvt-stderr-XXXXXX").string();
    file_ = mkstemp(pattern.data());
    if (file_ < 0) throw std::runtime_error("mkstemp failed");
    unlink(pattern.c_str());
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    dup2(file_, STDERR_FILENO);
}

CapturedStderr::~CapturedStderr() {
    std::fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
    close(file_);
}

std::string CapturedStderr::text() const {
    std::string text;
    char buffer[4096];
    for (off_t offset = 0;;) {
        ssize_t count = pread(file_, buffer, sizeof buffer, offset);
        if (count <= 0) break;
        text.append(buffer, static_cast<size_t>(count));
        offset += count;
    }
    return text;
}

int linesContaining(const std::string& text, const std::string& fragment) {
    std::istringstream lines(text);
    int count = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.find(fragment) != std::string::npos) ++count;
    }
    return count;
}

}  // namespace kvt::test
