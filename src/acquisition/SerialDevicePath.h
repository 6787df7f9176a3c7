#pragma once

namespace kvt {

// Device path of commPort 0-4 (COM1-COM5): the first entry "comN" that
// exists in the configuration folder ("$XDG_CONFIG_HOME/kvt936p", by default
// ~/.config/kvt936p) or in ~/.kvt936p, where earlier versions looked (links
// the user points at /dev/serial/by-id/... and so on; a dangling link counts,
// so that a failure names it), else "/dev/ttyS<port>". Returns false for
// other ports or when `path` is too small. Builds the path in `path` without
// allocating.
bool serialDevicePath(int commPort, char* path, int pathSize);

}  // namespace kvt
