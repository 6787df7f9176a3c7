#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QImage>
#include <cstdint>
#include <filesystem>
#include <string>

#include "core/RunFlags.h"
#include "platform/Clock.h"
#include "platform/DeviceContext.h"
#include "platform/Paths.h"
#include "recording/ScreenImageExport.h"
#include "support/FakeClock.h"
#include "support/TempHome.h"

namespace kvt {
namespace {

using test::entriesIn;
using test::fileExists;
using test::readFile;
using test::writeFile;

uint32_t longAt(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int byte = 3; byte >= 0; --byte) {
        value = value << 8 | static_cast<uint8_t>(bytes[at + static_cast<size_t>(byte)]);
    }
    return value;
}

uint16_t wordAt(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(bytes[at]) |
                                 static_cast<uint8_t>(bytes[at + 1]) << 8);
}

// A colour as a BMP pixel of 32 bits reads: 0x00RRGGBB.
uint32_t pixelWord(Colour colour) {
    return static_cast<uint32_t>(redOf(colour) << 16 | greenOf(colour) << 8 | blueOf(colour));
}

// A picture whose every row and column differs, with a few shapes.
void paintPicture(DeviceContext& image) {
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, rgb(x % 256, y % 256, (x + y) % 256));
    }
    image.fillSolidRect(10, 10, 100, 50, rgb(255, 0, 0));
    image.fillSolidRect(0, image.height() - 1, 7, 1, rgb(0, 0, 255));  // bottom-left corner
}

class ScreenImageExport : public ::testing::Test {
protected:
    void SetUp() override {
        makeDataFolder();
        savedGroup_ = currentGroup;
        paintPicture(image);
    }
    void TearDown() override { currentGroup = savedGroup_; }

    test::TempHome home;
    test::ScopedFakeClock clock;
    DeviceContext image;

private:
    int savedGroup_ = 1;
};

TEST_F(ScreenImageExport, ExportWritesTheScreenAsA32BitBitmapNamedByTimeAndGroup) {
    clock.clock.setLocal(2006, 3, 7, 14, 2, 9, 700);
    currentGroup = 3;
    ASSERT_EQ(exportScreenImage(image), 1);

    std::string path = home.dataFolder() + "/20060307_140209_G3.bmp";
    std::string bytes = readFile(path);
    ASSERT_EQ(bytes.size(), 1920054u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    EXPECT_EQ(longAt(bytes, 2), 1920054u);
    EXPECT_EQ(longAt(bytes, 6), 0u) << "reserved words";
    EXPECT_EQ(longAt(bytes, 10), 54u) << "pixel data offset";
    EXPECT_EQ(longAt(bytes, 14), 40u) << "information header size";
    EXPECT_EQ(longAt(bytes, 18), 800u);
    EXPECT_EQ(longAt(bytes, 22), 600u) << "positive: bottom-up";
    EXPECT_EQ(wordAt(bytes, 26), 1);
    EXPECT_EQ(wordAt(bytes, 28), 32);
    for (size_t at = 30; at < 54; at += 4) EXPECT_EQ(longAt(bytes, at), 0u) << "field at " << at;

    // Bottom row first, blue, green, red and a zero byte per pixel; another
    // reader sees the same picture.
    QImage read(QString::fromStdString(path));
    ASSERT_EQ(read.size(), QSize(800, 600));
    for (int y = 0; y < 600; ++y) {
        for (int x = 0; x < 800; ++x) {
            size_t at = 54 + (static_cast<size_t>(599 - y) * 800 + static_cast<size_t>(x)) * 4;
            ASSERT_EQ(longAt(bytes, at), pixelWord(image.pixel(x, y))) << x << "," << y;
            ASSERT_EQ(read.pixel(x, y) & 0x00FFFFFFu, pixelWord(image.pixel(x, y))) << x << "," << y;
        }
    }
    EXPECT_EQ(entriesIn(home.dataFolder()), 1);
}

// The data folder is remade when it was removed; a second export within the
// same second replaces the first picture.
TEST_F(ScreenImageExport, ExportRemakesTheDataFolderAndReplacesAPictureOfTheSameSecond) {
    ASSERT_EQ(rmdir(home.dataFolder().c_str()), 0);
    clock.clock.setLocal(2026, 3, 7, 9, 0, 0, 100);
    currentGroup = 10;
    ASSERT_EQ(exportScreenImage(image), 1);
    image.fillSolidRect(0, 0, 800, 600, rgb(1, 2, 3));
    clock.clock.advanceMs(800);
    ASSERT_EQ(exportScreenImage(image), 1);
    std::string bytes = readFile(home.dataFolder() + "/20260307_090000_G10.bmp");
    ASSERT_EQ(bytes.size(), 1920054u);
    EXPECT_EQ(longAt(bytes, 54), pixelWord(rgb(1, 2, 3)));
    EXPECT_EQ(entriesIn(home.dataFolder()), 1);
}

TEST_F(ScreenImageExport, FailedExportReportsZeroAndLeavesNothingBehind) {
    std::string notAFolder = home.path() + "/file";
    writeFile(notAFolder, "x");
    EXPECT_EQ(writeBitmapFile(image, (notAFolder + "/picture.bmp").c_str()), 0);

    // The file is written, but cannot take the place of what has the name.
    std::string taken = home.path() + "/taken.bmp";
    ASSERT_EQ(mkdir(taken.c_str(), 0777), 0);
    EXPECT_EQ(writeBitmapFile(image, taken.c_str()), 0);
    EXPECT_TRUE(std::filesystem::is_directory(taken));
    EXPECT_EQ(entriesIn(home.path()), 3) << "the file, the folder and the data folder only";
}

}  // namespace
}  // namespace kvt
