#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>
#include <set>
#include <string>

#include "RetrievalFixture.h"

namespace kvt {
namespace {

using test::localEpochSeconds;
using test::localMs;
using test::plainPenValue;
using test::readFile;
using test::writeFile;

constexpr int kGroup = 3;
constexpr int kRowLength = 171;
constexpr int kRows = 601;  // 09:50:00 to 10:00:00, row k is sample k

// Where row k starts in the file.
size_t rowAt(int row) { return 512 + static_cast<size_t>(row) * kRowLength; }

class DamagedDayFile : public test::RetrievalTest {
protected:
    void SetUp() override {
        RetrievalTest::SetUp();
        useCycle(kGroup, kCycle1s);
        record(kGroup, localMs(2026, 3, 7, 9, 50, 0), 1000, kRows);
        path = test::dayFilePathOf(test::makeTime(2026, 3, 7, 0, 0, 0), kGroup);
        clean = readFile(path);
    }
    const PlaybackPane& loadDamaged(const std::string& bytes) {
        writeFile(path, bytes);
        return load(kGroup, localEpochSeconds(2026, 3, 7, 10, 0, 0));
    }

    std::string path;
    std::string clean;
};

// Which rows (by sample number) a damaged file still gives; the slot of
// sample k is 600 - k.
struct FileDamage {
    const char* name;
    std::function<void(std::string&)> apply;
    std::function<bool(int)> rowKept;
};

void PrintTo(const FileDamage& damage, std::ostream* os) { *os << damage.name; }

class DamagedDayFiles : public DamagedDayFile, public ::testing::WithParamInterface<FileDamage> {};

TEST_P(DamagedDayFiles, UnreadableRowsAreSkippedAndTheRestFillsAsUsual) {
    std::string bytes = clean;
    GetParam().apply(bytes);
    const PlaybackPane& pane = loadDamaged(bytes);
    for (int slot = 0; slot < kPaneSlots; ++slot) {
        int sample = 600 - slot;
        bool kept = sample >= 0 && GetParam().rowKept(sample);
        for (int pen = 0; pen < kPensPerGroup; ++pen) {
            ASSERT_EQ(pane.values[pen][slot], kept ? plainPenValue(sample, pen) : kNoData)
                << "slot " << slot << " pen " << pen;
        }
    }
    EXPECT_EQ(cursor.depth, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Damages, DamagedDayFiles,
    ::testing::Values(
        FileDamage{"Empty", [](std::string& b) { b.clear(); }, [](int) { return false; }},
        FileDamage{"ShorterThanItsHeaders", [](std::string& b) { b.resize(100); },
                   [](int) { return false; }},
        FileDamage{"HeadersOnly", [](std::string& b) { b.resize(512); }, [](int) { return false; }},
        FileDamage{"LastRowCutShort", [](std::string& b) { b.resize(b.size() - 50); },
                   [](int k) { return k != 600; }},
        FileDamage{"GarbageHeaders",
                   [](std::string& b) {
                       for (size_t at = 0; at < 512; at += 7) b[at] = static_cast<char>(at * 31);
                   },
                   [](int) { return true; }},
        FileDamage{"GarbageValueField",
                   [](std::string& b) { b.replace(rowAt(300) + 15 + 13 * 4, 12, "#%&'()*+-./:"); },
                   [](int k) { return k != 300; }},
        FileDamage{"GarbageTime", [](std::string& b) { b.replace(rowAt(300), 8, "x9:55:00"); },
                   [](int k) { return k != 300; }},
        // Every later row is out of step, so unreadable; earlier ones are fine.
        FileDamage{"ByteMissing", [](std::string& b) { b.erase(rowAt(300) + 40, 1); },
                   [](int k) { return k < 300; }},
        FileDamage{"ByteAdded", [](std::string& b) { b.insert(rowAt(300) + 40, "1"); },
                   [](int k) { return k < 300; }},
        // A carriage return and line feed ending, as an editor might save it:
        // no row is where it belongs.
        FileDamage{"WindowsLineEnds",
                   [](std::string& b) {
                       std::string rows;
                       for (int row = 0; row < kRows; ++row) {
                           rows += b.substr(rowAt(row), kRowLength - 1) + "\r\n";
                       }
                       b = b.substr(0, 512) + rows;
                   },
                   [](int) { return false; }},
        // A row stamped before the window start ends the backward scan.
        FileDamage{"RowOutOfOrder", [](std::string& b) { b.replace(rowAt(300), 8, "00:00:00"); },
                   [](int k) { return k > 300; }}),
    [](const ::testing::TestParamInfo<FileDamage>& info) { return std::string(info.param.name); });

// Random truncation, random bytes in rows and headers, bytes added and
// removed: the load never fails and every slot holds a number or no-data.
// Run under AddressSanitizer as well, which catches any read outside a
// buffer.
TEST_F(DamagedDayFile, RandomDamageNeverBreaksTheLoad) {
    std::mt19937 random(7032026);
    for (int round = 0; round < 150; ++round) {
        std::string bytes = clean;
        int changes = 1 + static_cast<int>(random() % 40);
        for (int change = 0; change < changes && !bytes.empty(); ++change) {
            size_t at = random() % bytes.size();
            switch (random() % 4) {
            case 0: bytes[at] = static_cast<char>(random()); break;
            case 1: bytes.erase(at, 1 + random() % 3); break;
            case 2: bytes.insert(at, 1 + random() % 3, static_cast<char>(random())); break;
            default: if (random() % 4 == 0) bytes.resize(at); break;
            }
        }
        const PlaybackPane& pane = loadDamaged(bytes);
        for (int slot = 0; slot < kPaneSlots; ++slot) {
            for (int pen = 0; pen < kPensPerGroup; ++pen) {
                ASSERT_TRUE(std::isfinite(pane.values[pen][slot])) << "round " << round;
            }
        }
    }
    EXPECT_EQ(cursor.depth, 0);
}

}  // namespace
}  // namespace kvt
