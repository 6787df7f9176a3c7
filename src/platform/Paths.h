#pragma once

namespace kvt {

// The root of the data drive: the user's home directory, HOME.
const char* dataDriveRoot();

// Why HOME cannot hold the data folder ("HOME is not set", "HOME=/srv
// belongs to another account", ...), or nullptr when it can: it must be an
// absolute path to a folder of this account's own that not every account
// may write to. There is no fall-back folder: one elsewhere (under /tmp,
// say) could have been prepared by another account.
const char* homeFolderProblem();

// The data folder, "<home>/KVT936P_U_DATA", without a trailing slash.
// Computed once from HOME and kept in a fixed buffer so that worker threads
// can build paths from it without allocating.
const char* dataFolder();

// "<data folder>/KVT936P.LPPU" and "<data folder>/KVT936P.LPAU", kept
// beside the data folder in fixed buffers.
const char* settingsFilePath();
const char* alarmHistoryPath();

// The recorder's folder of the user's own configuration, such as the links
// naming the serial devices: "$XDG_CONFIG_HOME/kvt936p", by default
// "<home>/.config/kvt936p". Without a trailing slash.
const char* configFolder();
// The same as the user would type it: "~/.config/kvt936p" and the like.
const char* configFolderAsTyped();
// "<home>/.kvt936p", where earlier versions kept those links; still read.
const char* legacyConfigFolder();

// Re-reads HOME and XDG_CONFIG_HOME; for start-up and for tests that switch HOME.
void refreshDataPaths();

// Creates the data folder; an existing folder is fine. Returns 0 or -1.
int makeDataFolder();

}  // namespace kvt
