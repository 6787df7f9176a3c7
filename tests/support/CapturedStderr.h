#pragma once
#include <string>

namespace kvt::test {

// Standard error (file descriptor 2) goes to a temporary file for the
// lifetime of the object, for tests of what the code under test writes
// there directly.
class CapturedStderr {
public:
    CapturedStderr();
    ~CapturedStderr();
    CapturedStderr(const CapturedStderr&) = delete;
    CapturedStderr& operator=(const CapturedStderr&) = delete;

    // Everything written so far.
    std::string text() const;
    // Descriptor of the file, for handing to a child process as its fd 2.
    int descriptor() const { return file_; }

private:
    int saved_ = -1;
    int file_ = -1;
};

// Number of lines in `text` that contain `fragment`.
int linesContaining(const std::string& text, const std::string& fragment);

}  // namespace kvt::test
