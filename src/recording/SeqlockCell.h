#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <thread>
#include <type_traits>

namespace kvt {

// A value of fixed size that one thread stores and any thread reads whole,
// without locks or allocation. The value is kept as atomic words under a
// version that is odd while a store is under way; a reader copies the words
// and keeps the copy only when the version was the same, and even, before
// and after it. Only one thread may store into a cell.
template <typename T>
class SeqlockCell {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    void store(const T& value) {
        uint64_t words[kWords] = {};
        std::memcpy(words, &value, sizeof value);
        uint32_t version = version_.load(std::memory_order_relaxed);
        version_.store(version + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        for (size_t index = 0; index < kWords; ++index) {
            words_[index].store(words[index], std::memory_order_relaxed);
        }
        version_.store(version + 2, std::memory_order_release);
    }

    // One try: false when a store was under way meanwhile. For threads
    // that must not wait on the storing one.
    bool tryLoad(T& value) const {
        uint64_t words[kWords];
        uint32_t before = version_.load(std::memory_order_acquire);
        for (size_t index = 0; index < kWords; ++index) {
            words[index] = words_[index].load(std::memory_order_relaxed);
        }
        std::atomic_thread_fence(std::memory_order_acquire);
        if ((before & 1u) != 0 || version_.load(std::memory_order_relaxed) != before) return false;
        std::memcpy(&value, words, sizeof value);
        return true;
    }

    // Tries until a whole copy is had, letting the storing thread finish.
    T load() const {
        T value;
        while (!tryLoad(value)) std::this_thread::yield();
        return value;
    }

private:
    static constexpr size_t kWords = (sizeof(T) + sizeof(uint64_t) - 1) / sizeof(uint64_t);
    std::atomic<uint32_t> version_{0};
    std::atomic<uint64_t> words_[kWords] = {};
};

}  // namespace kvt
