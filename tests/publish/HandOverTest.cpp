// Run under ThreadSanitizer too (./test.sh --tsan): producers and the
// consumer meet only through the cells' turns.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "publish/HandOver.h"

namespace kvt {
namespace {

struct Numbered {
    int producer;
    int number;
};

TEST(HandOver, EveryPushedItemComesOutOnceInEachProducersOrder) {
    constexpr int kProducers = 3;
    constexpr int kItems = 20000;
    static HandOver<Numbered, 64> handOver;
    std::vector<std::thread> producers;
    for (int producer = 0; producer < kProducers; ++producer) {
        producers.emplace_back([producer] {
            for (int number = 0; number < kItems;) {
                if (handOver.push({producer, number})) ++number;
                else std::this_thread::yield();
            }
        });
    }
    int next[kProducers] = {};
    for (int taken = 0; taken < kProducers * kItems;) {
        Numbered item{};
        if (!handOver.pop(item)) {
            std::this_thread::yield();
            continue;
        }
        ASSERT_EQ(item.number, next[item.producer]++);
        ++taken;
    }
    for (std::thread& producer : producers) producer.join();
    Numbered left{};
    EXPECT_FALSE(handOver.pop(left));
}

}  // namespace
}  // namespace kvt
