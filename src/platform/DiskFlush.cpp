#include "platform/DiskFlush.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace kvt {
namespace {

std::atomic<DiskFlushHook> flushHook{nullptr};

int flush(int descriptor, FlushKind kind) {
    DiskFlushHook hook = flushHook.load(std::memory_order_acquire);
    if (hook != nullptr) {
        int injected = hook(descriptor, kind);
        if (injected != 0) return injected;
    }
    int result = kind == FlushKind::FileData ? fdatasync(descriptor) : fsync(descriptor);
    return result == 0 ? 0 : errno;
}

}  // namespace

int flushFileData(int descriptor) { return flush(descriptor, FlushKind::FileData); }

int flushFolder(int descriptor) { return flush(descriptor, FlushKind::Folder); }

void setDiskFlushHook(DiskFlushHook hook) { flushHook.store(hook, std::memory_order_release); }

}  // namespace kvt
