#include "platform/ThreadStart.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "platform/TerminationSignals.h"

namespace kvt {
namespace {

// Asks for the priority for the calling thread; returns whether it was granted.
bool applyPriorityToCurrentThread(ThreadPriority priority) {
    switch (priority) {
    case ThreadPriority::TimeCritical: {
        // A low real-time priority is enough to run ahead of every normal
        // thread; all real-time threads here sleep most of the time.
        sched_param parameters{};
        parameters.sched_priority = 10;
        return pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters) == 0;
    }
    case ThreadPriority::AboveNormal:
        return setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), -5) == 0;
    case ThreadPriority::BelowNormal:
        return setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 5) == 0;
    case ThreadPriority::Normal:
        return true;
    }
    return false;
}

}  // namespace

std::thread startThread(ThreadPriority priority, void (*entry)()) {
    return std::thread([priority, entry] {
        blockTerminationSignals();  // they are the window's to take
        applyPriorityToCurrentThread(priority);
        entry();
    });
}

}  // namespace kvt
