#pragma once
#include <thread>

namespace kvt {

enum class ThreadPriority { BelowNormal, Normal, AboveNormal, TimeCritical };

// Starts a thread and asks for the priority; a refused request leaves the
// thread at the priority it got, silently. The thread never takes the
// termination signals (TerminationSignals.h).
std::thread startThread(ThreadPriority priority, void (*entry)());

}  // namespace kvt
