#pragma once
#include <string>

namespace kvt::test {

// A folder on a disk that stops answering: every open of it or of a file in
// it waits (a fanotify permission event) until answer() lets it go on, as
// on a network file system that hangs. Needs CAP_SYS_ADMIN (ready() says).
// Opens still waiting go on when the object goes.
class HungFolder {
public:
    explicit HungFolder(const std::string& folder);
    ~HungFolder();
    HungFolder(const HungFolder&) = delete;
    HungFolder& operator=(const HungFolder&) = delete;

    bool ready() const { return group_ >= 0; }
    void answer();  // lets the opens waiting now go on

private:
    int group_ = -1;
};

}  // namespace kvt::test
