#include "core/ThreadConfiguration.h"

namespace kvt {
namespace {

constinit thread_local ConfigurationSnapshot* threadSnapshot = nullptr;

}  // namespace

const ConfigurationRecord& threadConfiguration() { return ownThreadConfiguration(); }

ConfigurationRecord& ownThreadConfiguration() {
    return threadSnapshot != nullptr ? threadSnapshot->record() : liveConfiguration;
}

void refreshThreadConfiguration() {
    if (threadSnapshot != nullptr) threadSnapshot->refresh();
}

ThreadConfigurationScope::ThreadConfigurationScope(ConfigurationSnapshot& snapshot)
    : previous_(threadSnapshot) {
    threadSnapshot = &snapshot;
    snapshot.refresh();
}

ThreadConfigurationScope::~ThreadConfigurationScope() { threadSnapshot = previous_; }

}  // namespace kvt
