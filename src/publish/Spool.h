#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace kvt {

// Messages the broker has not acknowledged yet, oldest first, kept in a
// file of bounded size so that neither a broker that is away nor a restart
// of the recorder loses them. The file is a ring: a header with the
// capacity and the positions of the oldest message and of the end, then
// the capacity's bytes, in which each message (a small head, its topic and
// its payload) follows the one before and wraps at the end. A message that
// does not fit pushes the oldest ones out; they are counted as dropped.
// Positions count bytes from the first message ever spooled, so they only
// grow; when the spool is empty it starts again at 0 and the file shrinks
// back to its header. A new capacity takes effect once the spool is empty.
class Spool {
public:
    Spool() = default;
    ~Spool();
    Spool(const Spool&) = delete;
    Spool& operator=(const Spool&) = delete;

    // Opens or creates the spool file (the account's own regular file, not
    // followed through a link). A file that is not a spool, or whose
    // messages are damaged from some point on, keeps what is sound before
    // it. False, with `problem`, when the file cannot be used.
    bool open(const std::string& path, uint64_t capacity, std::string& problem);

    // Appends a message, dropping the oldest while it does not fit.
    // False when the file refused the bytes (the message is then lost and
    // counted as dropped).
    bool append(std::string_view topic, std::string_view payload);

    // Reads the message at `position` (first() <= position < end()) and
    // gives the position after it. False when it cannot be read.
    bool read(uint64_t position, std::string& topic, std::string& payload, uint64_t& next) const;

    // The messages before `position` were delivered.
    void release(uint64_t position);
    // Drops every message (after one was found unreadable).
    void dropAll();

    uint64_t first() const { return first_; }
    uint64_t end() const { return end_; }
    uint64_t messageCount() const { return count_; }
    uint64_t droppedCount() const { return dropped_; }
    // Of those, the messages the file refused (it could not be written),
    // and those lost to damage in the file.
    uint64_t refusedCount() const { return refused_; }
    uint64_t damagedCount() const { return damaged_; }

private:
    struct MessageHead {
        uint32_t mark;
        uint32_t topicLength;
        uint32_t payloadLength;
    };
    bool readHead(uint64_t position, MessageHead& head) const;
    bool readAt(uint64_t position, void* bytes, size_t length) const;
    bool writeAt(uint64_t position, const void* bytes, size_t length);
    bool saveHeader();
    void dropOldest();
    void restartIfEmpty();
    void recover();

    int descriptor_ = -1;
    uint64_t capacity_ = 0;      // bytes of the ring
    uint64_t wantedCapacity_ = 0;
    uint64_t first_ = 0;
    uint64_t end_ = 0;
    uint64_t count_ = 0;
    uint64_t dropped_ = 0;
    uint64_t refused_ = 0;
    uint64_t damaged_ = 0;
};

}  // namespace kvt
