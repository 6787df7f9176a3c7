#pragma once

namespace kvt::test {

// A pipe between a test and a child process it forks. Each side closes the
// end it does not use, and the test's ends close when the test ends in any
// way, so a child waiting for a byte never outlives a failed test.
class ChildPipe {
public:
    ChildPipe();
    ~ChildPipe();
    ChildPipe(const ChildPipe&) = delete;
    ChildPipe& operator=(const ChildPipe&) = delete;

    bool send(char byte);
    bool receive(char& byte);
    void keepOnlyReading() { closeEnd(1); }
    void keepOnlyWriting() { closeEnd(0); }

private:
    void closeEnd(int end);

    int ends_[2] = {-1, -1};
};

}  // namespace kvt::test
