#include "support/ChildPipe.h"

#include <unistd.h>

namespace kvt::test {

ChildPipe::ChildPipe() {
    if (pipe(ends_) != 0) ends_[0] = ends_[1] = -1;
}

ChildPipe::~ChildPipe() {
    closeEnd(0);
    closeEnd(1);
}

bool ChildPipe::send(char byte) { return write(ends_[1], &byte, 1) == 1; }

bool ChildPipe::receive(char& byte) { return read(ends_[0], &byte, 1) == 1; }

void ChildPipe::closeEnd(int end) {
    if (ends_[end] >= 0) close(ends_[end]);
    ends_[end] = -1;
}

}  // namespace kvt::test
