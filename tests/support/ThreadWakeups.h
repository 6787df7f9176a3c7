#pragma once

namespace kvt::test {

// Times the thread of this process named `name` (as top -H shows it) has
// been switched in so far, by the kernel's count of its context switches;
// -1 when there is no such thread. A thread asleep in the kernel adds none.
long threadWakeups(const char* name);

}  // namespace kvt::test
