#pragma once
#include <climits>
#include <cstddef>

namespace kvt {

// A file written under a temporary name beside its final path and renamed
// over that path only once it is complete and on the disk, so a reader finds
// the old file or the whole new one, never a part of it. Every replacement
// has a temporary file of its own ("<path>.new-<process>-<number>", created
// exclusively), so two replacements of one path at the same time (the
// scheduler's midnight settings save and the window's, say) each put a whole
// file in place, and the later rename wins.
class ReplacementFile {
public:
    explicit ReplacementFile(const char* path);
    ~ReplacementFile();  // removes the temporary file unless committed
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Appends all bytes; false once any write has failed.
    bool write(const void* bytes, size_t length);
    // Flushes the file to the disk and renames it over the final path.
    // False (and the old file untouched) when anything failed.
    bool commit();
    // The same, but only while no file is at the final path: an existing
    // file is never replaced (false then, errno EEXIST).
    bool commitIfAbsent();

private:
    bool finish(bool replace);

    char path_[PATH_MAX] = {};
    char temporary_[PATH_MAX] = {};
    int descriptor_ = -1;
    bool failed_ = false;
};

}  // namespace kvt
