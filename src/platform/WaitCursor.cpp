#include "platform/WaitCursor.h"

namespace kvt {
namespace {

WaitCursorProvider* installedProvider = nullptr;

}  // namespace

WaitCursorProvider* installWaitCursorProvider(WaitCursorProvider* provider) {
    WaitCursorProvider* previous = installedProvider;
    installedProvider = provider;
    return previous;
}

// The provider that showed the cursor restores it, even if another one was
// installed in between.
WaitCursor::WaitCursor() : provider_(installedProvider) {
    if (provider_ != nullptr) provider_->show();
}

WaitCursor::~WaitCursor() {
    if (provider_ != nullptr) provider_->restore();
}

}  // namespace kvt
