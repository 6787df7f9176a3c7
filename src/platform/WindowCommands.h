#pragma once

namespace kvt {

// Window commands posted by worker threads and by the window to itself.
enum WindowCommand : int {
    kCommandRefresh = 1124,
    kCommandExit = 1125,
    kCommandSettings = 1126,
    kCommandDateTime = 1127,
    kCommandAlarmHistory = 1128,
    kCommandSocketError = 1129,
    kCommandNodeError = 1130,
    kCommandStopQuestion = 1131,
    kCommandWriteFailed = 1132,     // rows or alarm records have not been written for 5 s
    kCommandWritingResumed = 1133,  // everything waiting is written again
    kCommandRaise = 1134,           // a second start asks the window to come to the front
    kLastWindowCommand = kCommandRaise,
};

// Posts a command to the window from any thread without blocking or
// allocating: the command travels through a non-blocking pipe that the
// window thread watches. Only a full pipe (a window stalled for hours of
// refreshes) drops a command.
void postWindowCommand(int command);

// The read end for the window's event loop; -1 before the first use.
int windowCommandReadDescriptor();

// Takes the next posted command; 0 when none is waiting.
int takeWindowCommand();

// Number of times `command` was posted since start, for tests.
long postedWindowCommandCount(int command);

}  // namespace kvt
