#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace kvt {

// A fixed-size hand-over of items from any number of producer threads to
// one consumer thread. Producers never wait, lock or allocate: a push onto
// a full hand-over fails and the caller counts the item as dropped. Each
// cell carries a turn number: a producer claims the next cell by moving the
// shared write position on and publishes the item by storing the cell's
// new turn after it (release); the consumer takes a cell only once its turn
// shows the item (acquire) and hands the cell back for the next lap.
template <typename Item, size_t Capacity>
class HandOver {
    static_assert((Capacity & (Capacity - 1)) == 0, "a power of two");
    static_assert(std::is_trivially_copyable_v<Item>);

public:
    HandOver() {
        for (size_t index = 0; index < Capacity; ++index) {
            cells_[index].turn.store(index, std::memory_order_relaxed);
        }
    }

    // Producers: false when the hand-over is full.
    bool push(const Item& item) {
        size_t position = writePosition_.load(std::memory_order_relaxed);
        for (;;) {
            Cell& cell = cells_[position & (Capacity - 1)];
            size_t turn = cell.turn.load(std::memory_order_acquire);
            auto lag = static_cast<std::ptrdiff_t>(turn - position);
            if (lag < 0) return false;
            if (lag > 0) {
                position = writePosition_.load(std::memory_order_relaxed);
            } else if (writePosition_.compare_exchange_weak(position, position + 1,
                                                            std::memory_order_relaxed)) {
                cell.item = item;
                cell.turn.store(position + 1, std::memory_order_release);
                return true;
            }
        }
    }

    // The consumer: false when nothing is waiting.
    bool pop(Item& item) {
        Cell& cell = cells_[readPosition_ & (Capacity - 1)];
        if (cell.turn.load(std::memory_order_acquire) != readPosition_ + 1) return false;
        item = cell.item;
        cell.turn.store(readPosition_ + Capacity, std::memory_order_release);
        ++readPosition_;
        return true;
    }

private:
    struct Cell {
        std::atomic<size_t> turn{0};
        Item item{};
    };
    Cell cells_[Capacity];
    alignas(64) std::atomic<size_t> writePosition_{0};
    alignas(64) size_t readPosition_ = 0;  // consumer only
};

}  // namespace kvt
