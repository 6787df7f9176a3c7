#include "publish/Spool.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace kvt {
namespace {

constexpr char kMagic[8] = {'K', 'V', 'T', 'S', 'P', 'O', 'O', 'L'};
constexpr uint32_t kMessageMark = 0x4D51544Bu;  // "KTQM"

struct FileHeader {
    char magic[8];
    uint64_t capacity;
    uint64_t first;
    uint64_t end;
};
constexpr off_t kHeaderSize = 64;
static_assert(sizeof(FileHeader) <= kHeaderSize);

// Moves `length` bytes at ring position `position` with `move(bytes,
// size, file offset)`, split where the ring wraps.
template <typename Bytes, typename Move>
bool inPieces(uint64_t position, Bytes* bytes, size_t length, uint64_t capacity, Move move) {
    while (length > 0) {
        uint64_t offset = position % capacity;
        size_t piece = static_cast<size_t>(std::min<uint64_t>(length, capacity - offset));
        if (!move(bytes, piece, kHeaderSize + static_cast<off_t>(offset))) return false;
        bytes += piece;
        position += piece;
        length -= piece;
    }
    return true;
}

}  // namespace

Spool::~Spool() {
    if (descriptor_ >= 0) close(descriptor_);
}

bool Spool::open(const std::string& path, uint64_t capacity, std::string& problem) {
    descriptor_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    struct stat status {};
    if (descriptor_ < 0 || fstat(descriptor_, &status) != 0) {
        problem = path + ": " + std::strerror(errno);
        return false;
    }
    if (!S_ISREG(status.st_mode) || status.st_uid != getuid()) {
        problem = path + ": not a file of this account";
        return false;
    }
    wantedCapacity_ = capacity;
    FileHeader header{};
    bool sound = pread(descriptor_, &header, sizeof header, 0) == static_cast<ssize_t>(sizeof header) &&
                 std::memcmp(header.magic, kMagic, sizeof kMagic) == 0 && header.capacity > 0 &&
                 header.first <= header.end && header.end - header.first <= header.capacity;
    if (sound) {
        capacity_ = header.capacity;
        first_ = header.first;
        end_ = header.end;
        recover();
    }
    restartIfEmpty();
    return saveHeader();
}

// Counts the messages and cuts the spool off at the first one that is not
// sound (a crash while writing it, a damaged disk).
void Spool::recover() {
    count_ = 0;
    MessageHead head{};
    for (uint64_t at = first_; at < end_;) {
        uint64_t next = at + sizeof head;
        char lastByte = 0;
        if (readHead(at, head)) next += head.topicLength + head.payloadLength;
        if (next == at + sizeof head || !readAt(next - 1, &lastByte, 1)) {
            end_ = at;
            break;
        }
        at = next;
        ++count_;
    }
}

void Spool::restartIfEmpty() {
    if (first_ != end_) return;
    first_ = end_ = 0;
    count_ = 0;
    capacity_ = wantedCapacity_;
    struct stat status {};
    if (fstat(descriptor_, &status) == 0 && status.st_size > kHeaderSize) {
        // Only to give the space back: a longer file is still read right.
        [[maybe_unused]] int cut = ftruncate(descriptor_, kHeaderSize);
    }
}

bool Spool::saveHeader() {
    FileHeader header{};
    std::memcpy(header.magic, kMagic, sizeof kMagic);
    header.capacity = capacity_;
    header.first = first_;
    header.end = end_;
    return pwrite(descriptor_, &header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);
}

bool Spool::readAt(uint64_t position, void* bytes, size_t length) const {
    return inPieces(position, static_cast<char*>(bytes), length, capacity_,
                    [this](char* piece, size_t size, off_t offset) {
                        return pread(descriptor_, piece, size, offset) == static_cast<ssize_t>(size);
                    });
}

bool Spool::writeAt(uint64_t position, const void* bytes, size_t length) {
    return inPieces(position, static_cast<const char*>(bytes), length, capacity_,
                    [this](const char* piece, size_t size, off_t offset) {
                        return pwrite(descriptor_, piece, size, offset) == static_cast<ssize_t>(size);
                    });
}

bool Spool::readHead(uint64_t position, MessageHead& head) const {
    return readAt(position, &head, sizeof head) && head.mark == kMessageMark &&
           uint64_t{head.topicLength} + head.payloadLength + sizeof head <= end_ - position;
}

void Spool::dropOldest() {
    MessageHead head{};
    if (readHead(first_, head)) {
        first_ += sizeof head + head.topicLength + head.payloadLength;
        --count_;
        ++dropped_;
    } else {
        // Unreadable: everything from here on is lost.
        dropped_ += count_;
        damaged_ += count_;
        first_ = end_;
        count_ = 0;
    }
}

bool Spool::append(std::string_view topic, std::string_view payload) {
    MessageHead head{kMessageMark, static_cast<uint32_t>(topic.size()),
                     static_cast<uint32_t>(payload.size())};
    uint64_t size = sizeof head + topic.size() + payload.size();
    if (descriptor_ < 0 || size > capacity_) {
        ++dropped_;
        ++refused_;
        return false;
    }
    while (end_ + size - first_ > capacity_) dropOldest();
    bool written = writeAt(end_, &head, sizeof head) && writeAt(end_ + sizeof head, topic.data(), topic.size()) &&
                   writeAt(end_ + sizeof head + topic.size(), payload.data(), payload.size());
    if (!written) {
        ++dropped_;
        ++refused_;
        return false;
    }
    end_ += size;
    ++count_;
    return saveHeader();
}

bool Spool::read(uint64_t position, std::string& topic, std::string& payload, uint64_t& next) const {
    MessageHead head{};
    if (position < first_ || !readHead(position, head)) return false;
    topic.resize(head.topicLength);
    payload.resize(head.payloadLength);
    next = position + sizeof head + head.topicLength + head.payloadLength;
    return readAt(position + sizeof head, topic.data(), topic.size()) &&
           readAt(position + sizeof head + topic.size(), payload.data(), payload.size());
}

void Spool::dropAll() {
    dropped_ += count_;
    damaged_ += count_;
    first_ = end_;
    restartIfEmpty();
    saveHeader();
}

void Spool::release(uint64_t position) {
    MessageHead head{};
    while (first_ < position && first_ < end_ && readHead(first_, head)) {
        first_ += sizeof head + head.topicLength + head.payloadLength;
        --count_;
    }
    if (first_ >= end_) first_ = end_;
    restartIfEmpty();
    saveHeader();
}

}  // namespace kvt
