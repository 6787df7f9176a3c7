#pragma once

namespace kvt {

constexpr int kRuntimePathBytes = 108;  // what a Unix socket address holds
constexpr int kMostRuntimeFolders = 3;

// Folders private to this user where a running recorder can be found, in
// the order a recorder picks one and a client looks: XDG_RUNTIME_DIR, then
// /run/user/<uid> (what a desktop login has, also for a shell that lacks
// the variable), then "kvt936p-<uid>" in TMPDIR (or /tmp). The first two
// count only as directories of the user's own that nobody else may enter;
// the last is named even when it does not exist yet. Returns how many
// were written into `folders`.
int runtimeFolders(char (&folders)[kMostRuntimeFolders][kRuntimePathBytes]);

// Makes `folder` usable: an existing directory of the user's own, entered
// by nobody else, or a new one made so (mode 0700). A link, another
// account's folder or one others may enter is refused.
bool preparePrivateFolder(const char* folder);

}  // namespace kvt
