#pragma once

namespace kvt::test {

// Number of operator new calls made so far by the calling thread. This test
// program replaces the global operator new to count them, so tests can
// check that a code path allocates nothing.
long allocationsOnThisThread();

}  // namespace kvt::test
