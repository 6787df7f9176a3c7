#pragma once

namespace kvt::test {

// This test program replaces the global allocation functions to count heap
// allocations, so tests can prove that a code path allocates nothing.

// Allocations made so far by the calling thread.
long allocationsOnThisThread();

// Threads that call countAllocationsOnThisThread(true) add their
// allocations to one shared total, which other threads can read.
void countAllocationsOnThisThread(bool counted);
long countedAllocations();
void resetCountedAllocations();

}  // namespace kvt::test
