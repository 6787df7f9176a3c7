#pragma once
#include "core/ConfigurationRecord.h"
#include "core/PublishedConfiguration.h"

namespace kvt {

// The configuration the calling thread works with. A worker thread reads
// the snapshot it installed with a ThreadConfigurationScope, brought up to
// date only where it calls refreshThreadConfiguration(), so that one pass,
// row or alarm evaluation sees one whole configuration. A thread without a
// snapshot (the window thread, which owns liveConfiguration) reads the live
// configuration itself.
const ConfigurationRecord& threadConfiguration();

// The same record for the thread's own changes: a worker's private
// snapshot, or the live configuration on the window thread.
ConfigurationRecord& ownThreadConfiguration();

// Takes the newest published configuration into the calling thread's
// snapshot; nothing on a thread without one. Called where a whole pass of
// the thread's work starts.
void refreshThreadConfiguration();

// While it exists, the calling thread reads `snapshot`, which is brought up
// to date at once. Made by each worker thread's entry function.
class ThreadConfigurationScope {
public:
    explicit ThreadConfigurationScope(ConfigurationSnapshot& snapshot);
    ~ThreadConfigurationScope();
    ThreadConfigurationScope(const ThreadConfigurationScope&) = delete;
    ThreadConfigurationScope& operator=(const ThreadConfigurationScope&) = delete;

private:
    ConfigurationSnapshot* previous_;
};

}  // namespace kvt
