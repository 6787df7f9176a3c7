#pragma once

namespace kvt {

// Start-up steps after the language is known: load and re-save the
// settings, clear every run-time buffer and flag, probe the disk and run
// the storage cleanup once.
void prepareRuntime();

// Publishes the live configuration to the worker threads and clears the
// run-time state (the buffers and flags a fresh start has).
void initialiseRuntimeState();

}  // namespace kvt
