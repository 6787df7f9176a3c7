#include "core/Application.h"

#include <cstdio>

#include "core/RunFlags.h"
#include "core/RuntimeState.h"
#include "core/WorkerThreads.h"
#include "platform/InstanceLock.h"
#include "platform/Language.h"

namespace kvt {

// Placeholder until the main window lands: prepares the runtime only.
int runApplication(int, char**) {
    static InstanceLock instanceLock;
    if (!instanceLock.acquire(100)) {
        std::fputs("Already it is triggered!\n", stderr);
        return 1;
    }
    languageFlag = languageFromLocale();
    prepareRuntime();
    return 0;
}

}  // namespace kvt
