#pragma once
#include <atomic>

namespace kvt {

// Process-wide flags shared by the window and the worker threads. Each has
// one writer per direction; stores use release and loads acquire so the data
// a flag covers is visible before the flag itself.
extern std::atomic<int> exitRequested;         // 1: every worker thread returns
extern std::atomic<int> acquisitionRequested;  // set by START, cleared by STOP or a failed start
extern std::atomic<int> acquisitionActive;     // set while a run is going (link open)
extern std::atomic<int> valuesValid;           // 1 after the first complete pass of a run
extern std::atomic<int> startFailed;           // a TCP connect or node probe failed at run start
extern std::atomic<int> failedNode;            // node number reported with "Node error"
extern std::atomic<int> overrunCounter;        // passes with more than one sample step due
extern std::atomic<int> g_settingsChanged;     // a dialog committed the working configuration
extern std::atomic<int> blinkFlag;             // toggled every full second by the scheduler
extern std::atomic<int> diskLow;               // 1 while less than 500 MiB are free

// Set once at start-up: 1 = English texts, 0 = Japanese texts.
extern int languageFlag;

// Display state initialised at start-up (window thread afterwards).
extern int currentGroup;
extern int graphHorizontal;

inline int load(const std::atomic<int>& flag) { return flag.load(std::memory_order_acquire); }
inline void store(std::atomic<int>& flag, int value) { flag.store(value, std::memory_order_release); }

}  // namespace kvt
