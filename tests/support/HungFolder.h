#pragma once
#include <string>

namespace kvt::test {

// A folder on a disk that stops answering: every open of the folder or of
// a file in it waits (a fanotify permission event) until the test lets it
// go on, as on a network file system that hangs. The recorder opens its
// files without blocking, so a pipe can no longer play this part. Needs
// CAP_SYS_ADMIN (root); ready() says whether it could be set up. Every
// open still waiting goes on when the object goes.
class HungFolder {
public:
    explicit HungFolder(const std::string& folder);
    ~HungFolder();
    HungFolder(const HungFolder&) = delete;
    HungFolder& operator=(const HungFolder&) = delete;

    bool ready() const { return group_ >= 0; }
    // Lets the opens waiting now go on; returns how many there were.
    int answer();

private:
    int group_ = -1;
};

}  // namespace kvt::test
