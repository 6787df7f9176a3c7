#include "core/RunFlags.h"

namespace kvt {

std::atomic<int> exitRequested{0};
std::atomic<int> acquisitionRequested{0};
std::atomic<int> acquisitionActive{0};
std::atomic<int> valuesValid{0};
std::atomic<int> startFailed{0};
std::atomic<int> failedNode{0};
std::atomic<int> overrunCounter{0};
std::atomic<int> g_settingsChanged{0};
std::atomic<int> blinkFlag{0};
std::atomic<int> diskLow{0};

int languageFlag = 1;
int currentGroup = 1;
int graphHorizontal = 0;

}  // namespace kvt
