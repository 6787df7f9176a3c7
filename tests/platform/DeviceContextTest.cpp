#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "platform/DeviceContext.h"
#include "platform/DeviceContextImage.h"
#include "platform/SjisText.h"
#include "support/QtTestApplication.h"
#include "support/SurfacePixels.h"

namespace kvt {
namespace {

constexpr Colour kWhite = rgb(255, 255, 255);
constexpr Colour kRed = rgb(255, 0, 0);
constexpr Colour kBlue = rgb(0, 0, 255);
constexpr Colour kGrey = rgb(151, 151, 151);

using test::countPixels;

int countAll(const DeviceContext& dc, Colour colour) {
    return countPixels(dc, colour, 0, 0, dc.width(), dc.height());
}

bool samePixels(const DeviceContext& a, const DeviceContext& b) {
    return test::sameRegion(a, b, 0, 0, a.width(), a.height());
}

TEST(DeviceContextLines, EndPointIsExcludedAndBecomesTheCurrentPosition) {
    DeviceContext dc(50, 50);
    dc.selectPen(kRed);
    dc.moveTo(5, 10);
    dc.lineTo(15, 10);
    EXPECT_EQ(dc.pixel(5, 10), kRed);
    EXPECT_EQ(dc.pixel(14, 10), kRed);
    EXPECT_EQ(dc.pixel(15, 10), kWhite);
    EXPECT_EQ(dc.pixel(4, 10), kWhite);
    EXPECT_EQ(countAll(dc, kRed), 10);
    EXPECT_EQ(dc.currentPosition().x, 15);

    // Continuing from there draws the corner pixel with the next segment.
    dc.lineTo(15, 20);
    EXPECT_EQ(dc.pixel(15, 10), kRed);
    EXPECT_EQ(dc.pixel(15, 19), kRed);
    EXPECT_EQ(dc.pixel(15, 20), kWhite);
}

TEST(DeviceContextLines, DiagonalAndSteepLinesHitEveryRowOnce) {
    DeviceContext dc(50, 50);
    dc.selectPen(kBlue);
    dc.moveTo(0, 0);
    dc.lineTo(10, 10);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(dc.pixel(i, i), kBlue) << i;
    EXPECT_EQ(dc.pixel(10, 10), kWhite);

    DeviceContext steep(50, 50);
    steep.selectPen(kBlue);
    steep.moveTo(20, 40);
    steep.lineTo(23, 10);  // upwards, 30 rows
    EXPECT_EQ(countAll(steep, kBlue), 30);
    for (int y = 11; y <= 40; ++y) EXPECT_EQ(countPixels(steep, kBlue, 0, y, 50, y + 1), 1) << y;
}

TEST(DeviceContextLines, ZeroLengthLineDrawsNothingAndClippingIsSafe) {
    DeviceContext dc(20, 20);
    dc.selectPen(kRed);
    dc.moveTo(5, 5);
    dc.lineTo(5, 5);
    EXPECT_EQ(countAll(dc, kRed), 0);

    dc.moveTo(-100000, 10);
    dc.lineTo(100000, 10);  // crosses the surface
    EXPECT_EQ(countPixels(dc, kRed, 0, 10, 20, 11), 20);
    dc.moveTo(-50, -50);
    dc.lineTo(-10, 900);  // wholly left of the surface
    EXPECT_EQ(countAll(dc, kRed), 20);
}

TEST(DeviceContextLines, ThickPenCoversThreeRows) {
    DeviceContext dc(30, 30);
    dc.selectPen(kRed, 3);
    dc.moveTo(5, 10);
    dc.lineTo(20, 10);
    for (int y = 9; y <= 11; ++y) EXPECT_EQ(dc.pixel(10, y), kRed) << y;
    EXPECT_EQ(dc.pixel(10, 8), kWhite);
    EXPECT_EQ(dc.pixel(10, 12), kWhite);
}

TEST(DeviceContextShapes, FillSolidRectCoversExactlyItsArea) {
    DeviceContext dc(40, 40);
    dc.fillSolidRect(10, 5, 7, 3, kRed);
    EXPECT_EQ(countAll(dc, kRed), 21);
    EXPECT_EQ(dc.pixel(10, 5), kRed);
    EXPECT_EQ(dc.pixel(16, 7), kRed);
    EXPECT_EQ(dc.pixel(17, 7), kWhite);
    EXPECT_EQ(dc.pixel(16, 8), kWhite);

    dc.fillSolidRect(-5, -5, 8, 8, kBlue);  // clipped at the corner
    EXPECT_EQ(countPixels(dc, kBlue, 0, 0, 40, 40), 9);
    EXPECT_EQ(dc.pixel(-1, 0), kInvalidColour);
}

TEST(DeviceContextShapes, RectangleOutlinesWithPenAndFillsWithBrush) {
    DeviceContext dc(40, 40);
    dc.selectPen(kRed);
    dc.selectBrush(kBlue);
    dc.moveTo(1, 1);
    dc.rectangle(5, 5, 15, 12);  // right and bottom exclusive
    EXPECT_EQ(dc.pixel(5, 5), kRed);
    EXPECT_EQ(dc.pixel(14, 5), kRed);
    EXPECT_EQ(dc.pixel(14, 11), kRed);
    EXPECT_EQ(dc.pixel(5, 11), kRed);
    EXPECT_EQ(dc.pixel(15, 5), kWhite);
    EXPECT_EQ(dc.pixel(5, 12), kWhite);
    EXPECT_EQ(countAll(dc, kBlue), 8 * 5);
    EXPECT_EQ(dc.currentPosition().x, 1);

    DeviceContext hollow(40, 40);
    hollow.selectBrush(Brush{kBlue, true});
    hollow.rectangle(5, 5, 15, 12);
    EXPECT_EQ(countAll(hollow, kBlue), 0);
    EXPECT_EQ(hollow.pixel(9, 8), kWhite);
}

TEST(DeviceContextShapes, FloodFillStaysInsideTheBoundary) {
    DeviceContext dc(40, 40);
    dc.selectPen(rgb(1, 1, 1));
    dc.selectBrush(Brush{kWhite, true});
    dc.rectangle(10, 10, 20, 20);
    dc.selectBrush(kRed);
    EXPECT_TRUE(dc.floodFill(15, 15, rgb(1, 1, 1)));
    EXPECT_EQ(countAll(dc, kRed), 8 * 8);
    EXPECT_EQ(dc.pixel(10, 10), rgb(1, 1, 1));
    EXPECT_EQ(dc.pixel(5, 5), kWhite);

    // Seeds on the boundary or outside fill nothing.
    EXPECT_FALSE(dc.floodFill(10, 15, rgb(1, 1, 1)));
    EXPECT_FALSE(dc.floodFill(-1, 15, rgb(1, 1, 1)));

    // Filling with the colour the area already has ends and changes nothing.
    EXPECT_TRUE(dc.floodFill(15, 15, rgb(1, 1, 1)));
    EXPECT_EQ(countAll(dc, kRed), 64);
}

TEST(DeviceContextShapes, FloodFillWithoutBoundaryFillsTheWholeSurface) {
    DeviceContext dc(30, 20);
    dc.selectBrush(kBlue);
    EXPECT_TRUE(dc.floodFill(3, 3, kRed));
    EXPECT_EQ(countAll(dc, kBlue), 600);
}

TEST(DeviceContextShapes, EveryOneOfManyFloodFillsReachesTheWholeArea) {
    // More fills than the visit marks have values: none may take pixels an
    // earlier fill visited for already visited.
    DeviceContext dc(40, 40);
    dc.selectPen(rgb(1, 1, 1));
    dc.selectBrush(Brush{kWhite, true});
    dc.rectangle(10, 10, 20, 20);
    for (int fill = 0; fill < 600; ++fill) {
        Colour colour = fill % 2 == 0 ? kRed : kBlue;
        dc.selectBrush(colour);
        ASSERT_TRUE(dc.floodFill(11 + fill % 8, 15, rgb(1, 1, 1))) << fill;
        ASSERT_EQ(countPixels(dc, colour, 11, 11, 19, 19), 64) << fill;
    }
}

// Random boundary pixels and pixels already in the fill colour, on small
// surfaces whose edges the area reaches: the fill takes exactly the pixels
// 4-connected to the seed off the boundary, found here pixel by pixel.
TEST(DeviceContextShapes, FloodFillTakesExactlyTheConnectedArea) {
    unsigned state = 12345;
    auto next = [&state] { return static_cast<int>((state = state * 1103515245u + 12345u) >> 16); };
    for (int round = 0; round < 300; ++round) {
        DeviceContext dc(3 + next() % 40, 3 + next() % 30);
        for (int at = 0; at < dc.width() * dc.height(); ++at) {
            int pick = next() % 8;
            dc.setPixel(at % dc.width(), at / dc.width(), pick < 3 ? rgb(1, 1, 1) : pick == 3 ? kRed : kWhite);
        }
        Point seed{next() % dc.width(), next() % dc.height()};
        DeviceContext expected = dc;
        std::vector<bool> reached(static_cast<size_t>(dc.width()) * dc.height(), false);
        for (std::vector<Point> pending{seed}; !pending.empty();) {
            Point at = pending.back();
            pending.pop_back();
            if (at.x < 0 || at.y < 0 || at.x >= dc.width() || at.y >= dc.height()) continue;
            auto index = static_cast<size_t>(at.y) * dc.width() + at.x;
            if (reached[index] || dc.pixel(at.x, at.y) == rgb(1, 1, 1)) continue;
            reached[index] = true;
            expected.setPixel(at.x, at.y, kRed);
            pending.insert(pending.end(), {{at.x - 1, at.y}, {at.x + 1, at.y}, {at.x, at.y - 1}, {at.x, at.y + 1}});
        }
        dc.selectBrush(kRed);
        dc.floodFill(seed.x, seed.y, rgb(1, 1, 1));
        ASSERT_TRUE(samePixels(dc, expected)) << "round " << round;
    }
}

TEST(DeviceContextShapes, PolygonFillsInsideAndOutlinesWithPen) {
    DeviceContext dc(60, 60);
    dc.selectPen(kRed);
    dc.selectBrush(kBlue);
    const Point triangle[] = {{10, 10}, {40, 10}, {25, 40}};
    dc.polygon(triangle, 3);
    EXPECT_EQ(dc.pixel(25, 20), kBlue);      // inside
    EXPECT_EQ(dc.pixel(10, 10), kRed);       // vertex on the outline
    EXPECT_EQ(dc.pixel(25, 10), kRed);       // top edge
    EXPECT_EQ(dc.pixel(5, 30), kWhite);      // outside
    EXPECT_EQ(dc.pixel(45, 30), kWhite);
    // Even-odd: the fill never leaks right of the right edge at mid height.
    for (int x = 33; x < 60; ++x) EXPECT_NE(dc.pixel(x, 25), kBlue) << x;
}

TEST(DeviceContextShapes, MarkerOutlineFilledByFloodFill) {
    // The pen-marker recipe: outline, flood fill bounded by near-black,
    // outline again in black.
    DeviceContext dc(80, 80);
    const Point outline[] = {{26, 40}, {54, 40}, {54, 43}, {40, 57}, {26, 43}};
    dc.selectBrush(Brush{kWhite, true});
    dc.selectPen(rgb(1, 1, 1));
    dc.polygon(outline, 5);
    dc.selectBrush(kRed);
    EXPECT_TRUE(dc.floodFill(40, 55, rgb(1, 1, 1)));
    dc.selectPen(rgb(0, 0, 0));
    dc.selectBrush(Brush{kWhite, true});
    dc.polygon(outline, 5);
    EXPECT_EQ(dc.pixel(40, 45), kRed);
    EXPECT_EQ(dc.pixel(40, 41), kRed);
    EXPECT_EQ(dc.pixel(40, 60), kWhite);  // below the tip
    EXPECT_EQ(dc.pixel(20, 41), kWhite);
    EXPECT_EQ(dc.pixel(40, 40), rgb(0, 0, 0));
}

TEST(DeviceContextCopy, CopyFromPlacesAndClipsTheSource) {
    DeviceContext source(10, 10);
    source.fillSolidRect(0, 0, 10, 10, kRed);
    source.setPixel(0, 0, kBlue);
    DeviceContext target(12, 12);
    target.fillSolidRect(0, 0, 12, 12, kGrey);
    target.copyFrom(source, 1, 1);
    EXPECT_EQ(target.pixel(0, 0), kGrey);
    EXPECT_EQ(target.pixel(1, 1), kBlue);
    EXPECT_EQ(target.pixel(10, 10), kRed);
    EXPECT_EQ(target.pixel(11, 11), kGrey);
    target.copyFrom(source, 8, -5);  // mostly outside
    EXPECT_EQ(target.pixel(11, 4), kRed);
    EXPECT_EQ(target.pixel(11, 5), kGrey);  // below the second copy
    target.copyFrom(source, -9, 6);  // only the source's right column lands
    EXPECT_EQ(target.pixel(0, 6), kRed);
    EXPECT_EQ(target.pixel(0, 11), kRed);
    EXPECT_EQ(target.pixel(1, 11), kGrey);
    EXPECT_EQ(target.pixel(0, 5), kGrey);
}

// Changes copied onto a grey-bordered copy of a white 300 x 40 source:
// the target ends as a full copy leaves it, and the changed tiles (100 x 16,
// cut to the 302 x 42 target, neighbours joined) are those holding a change.
TEST(DeviceContextCopy, CopyChangesWritesAndMarksOnlyWhatDiffers) {
    struct Case {
        std::vector<ChangedAreas::Rectangle> redInSource;  // x, y, width, height
        std::string tiles;
    } cases[] = {
        {{}, ""},
        {{{5, 7, 1, 1}}, "0,0-100,16 "},
        {{{3, 2, 1, 1}, {250, 2, 1, 1}}, "0,0-100,16 200,0-300,16 "},
        {{{95, 5, 10, 1}}, "0,0-200,16 "},
        {{{0, 0, 1, 18}}, "0,0-100,16 0,16-100,32 "},
        {{{299, 39, 1, 1}}, "300,32-302,42 "},
    };
    for (const Case& c : cases) {
        DeviceContext source(300, 40);
        DeviceContext target(302, 42);
        target.fillSolidRect(0, 0, 302, 42, kGrey);
        target.copyFrom(source, 1, 1);
        for (const auto& red : c.redInSource) {
            source.fillSolidRect(red.left, red.top, red.right, red.bottom, kRed);
        }
        DeviceContext full = target;
        full.copyFrom(source, 1, 1);
        ChangedAreas changed(302, 42);
        target.copyChangesFrom(source, 1, 1, changed);
        EXPECT_TRUE(samePixels(target, full)) << c.tiles;
        std::string tiles;
        for (const auto& tile : changed.rectangles()) {
            tiles += std::to_string(tile.left) + "," + std::to_string(tile.top) + "-" +
                     std::to_string(tile.right) + "," + std::to_string(tile.bottom) + " ";
        }
        EXPECT_EQ(tiles, c.tiles);
        EXPECT_EQ(changed.empty(), c.tiles.empty());
    }
}

TEST(DeviceContextCopy, OriginShiftsEveryDrawingCall) {
    DeviceContext dc(20, 20);
    dc.setOrigin(1, 1);
    dc.selectPen(kRed);
    dc.moveTo(0, 0);
    dc.lineTo(3, 0);
    dc.fillSolidRect(5, 5, 1, 1, kBlue);
    dc.setOrigin(0, 0);
    EXPECT_EQ(dc.pixel(1, 1), kRed);
    EXPECT_EQ(dc.pixel(3, 1), kRed);
    EXPECT_EQ(dc.pixel(0, 0), kWhite);
    EXPECT_EQ(dc.pixel(6, 6), kBlue);
}

TEST(DeviceContextCopy, ImageViewSharesThePixels) {
    DeviceContext dc(800, 600);
    dc.setPixel(799, 599, rgb(10, 20, 30));
    QImage view = imageView(dc);
    EXPECT_EQ(view.width(), 800);
    EXPECT_EQ(view.height(), 600);
    EXPECT_EQ(view.pixel(799, 599), qRgb(10, 20, 30));
    QImage copy = imageCopy(dc);
    dc.setPixel(799, 599, kWhite);
    EXPECT_EQ(copy.pixel(799, 599), qRgb(10, 20, 30));
}

class DeviceContextText : public ::testing::Test {
protected:
    void SetUp() override { test::ensureQtApplication(); }

    // The text in one call must equal its characters drawn one by one at
    // the cell positions the advances give.
    static void expectCellLayout(FontId font, const std::string& sjis, int cellsFirst) {
        DeviceContext whole(300, 60);
        whole.selectFont(font);
        whole.setBackgroundMode(BackgroundMode::Transparent);
        whole.setTextColour(kRed);
        whole.textOut(10, 5, sjis);

        int length = sjisCharLength(sjis);
        DeviceContext split(300, 60);
        split.selectFont(font);
        split.setBackgroundMode(BackgroundMode::Transparent);
        split.setTextColour(kRed);
        split.textOut(10, 5, sjis.substr(0, static_cast<size_t>(length)));
        split.textOut(10 + cellsFirst * fontCell(font).advance, 5,
                      sjis.substr(static_cast<size_t>(length)));
        EXPECT_TRUE(samePixels(whole, split)) << static_cast<int>(font) << " " << sjis;
        EXPECT_GT(countAll(whole, kRed), 0);
    }
};

TEST_F(DeviceContextText, HalfWidthCharactersAdvanceByTheFontCell) {
    EXPECT_EQ(fontCell(FontId::Large).advance, 20);
    EXPECT_EQ(fontCell(FontId::Medium).advance, 7);
    EXPECT_EQ(fontCell(FontId::Small).advance, 6);
    EXPECT_EQ(fontCell(FontId::Tiny).advance, 5);
    for (FontId font : {FontId::Large, FontId::Medium, FontId::Small, FontId::Tiny}) {
        expectCellLayout(font, "WM", 1);
        expectCellLayout(font, "iW", 1);
    }
}

TEST_F(DeviceContextText, FullWidthCharactersAdvanceTwoCells) {
    std::string kanjiThenLetter = utf8ToSjis("設A");
    ASSERT_EQ(kanjiThenLetter.size(), 3u);
    std::string kanaThenKanji = utf8ToSjis("ｸ設");  // half-width katakana is one cell
    for (FontId font : {FontId::Large, FontId::Medium, FontId::Small, FontId::Tiny}) {
        expectCellLayout(font, kanjiThenLetter, 2);
        expectCellLayout(font, kanaThenKanji, 1);
    }
    DeviceContext dc;
    dc.selectFont(FontId::Medium);
    EXPECT_EQ(dc.textWidth(kanjiThenLetter), 21);
    dc.selectFont(FontId::Large);
    EXPECT_EQ(dc.textWidth("DEMO"), 80);
}

TEST_F(DeviceContextText, InkStaysInsideTheCellRows) {
    DeviceContext dc(100, 80);
    dc.selectFont(FontId::Small);
    dc.setTextColour(kRed);
    dc.setBackgroundMode(BackgroundMode::Transparent);
    dc.textOut(10, 20, utf8ToSjis("gjy設"));
    EXPECT_EQ(countPixels(dc, kRed, 0, 0, 100, 20), 0);
    EXPECT_EQ(countPixels(dc, kRed, 0, 32, 100, 80), 0);
    EXPECT_GT(countPixels(dc, kRed, 0, 20, 100, 32), 0);
}

TEST_F(DeviceContextText, OpaqueModeFillsTheCellsWithTheBackground) {
    DeviceContext dc(100, 40);
    dc.selectFont(FontId::Small);
    dc.setTextColour(kWhite);
    dc.setBackgroundColour(kGrey);
    dc.setBackgroundMode(BackgroundMode::Opaque);
    dc.fillSolidRect(0, 0, 100, 40, kBlue);
    dc.textOut(6, 4, "Run ");
    // The box is 4 cells of 6 by 12 pixels; every pixel is ink or background.
    int ink = countPixels(dc, kWhite, 6, 4, 30, 16);
    int ground = countPixels(dc, kGrey, 6, 4, 30, 16);
    EXPECT_GT(ink, 10);
    EXPECT_EQ(ink + ground, 24 * 12);
    EXPECT_EQ(dc.pixel(5, 10), kBlue);
    EXPECT_EQ(dc.pixel(30, 10), kBlue);
    EXPECT_EQ(dc.pixel(10, 3), kBlue);
    EXPECT_EQ(dc.pixel(10, 16), kBlue);
}

TEST_F(DeviceContextText, TransparentModeLeavesTheGroundAndStopsAtNul) {
    DeviceContext dc(100, 40);
    dc.fillSolidRect(0, 0, 100, 40, kBlue);
    dc.selectFont(FontId::Small);
    dc.setTextColour(kRed);
    dc.setBackgroundMode(BackgroundMode::Transparent);
    dc.textOut(0, 0, std::string("AB\0CD", 5));
    EXPECT_GT(countPixels(dc, kRed, 0, 0, 12, 12), 0);
    EXPECT_EQ(countPixels(dc, kRed, 12 + 3, 0, 100, 40), 0);
    EXPECT_EQ(countAll(dc, kRed) + countAll(dc, kBlue), 4000);
}

// Every kind of drawing, done with a row clip, leaves exactly the clipped
// rows of the same drawing done without one, and the other rows as they
// were; rows moved down keep their order and leave the rows above as they
// were.
TEST_F(DeviceContextText, RowClipKeepsEveryDrawingToItsRows) {
    struct Case {
        const char* name;
        void (*draw)(DeviceContext&);
    } cases[] = {
        {"thin and thick lines", [](DeviceContext& dc) {
             for (int width : {1, 3}) {
                 dc.selectPen(kRed, width);
                 dc.moveTo(3, 2);
                 dc.lineTo(70, 55);
                 dc.lineTo(20, 58);
                 dc.lineTo(20, 1);
                 dc.lineTo(79, 50);  // across the clipped rows down
                 dc.lineTo(40, 0);   // and up again
             }
         }},
        {"rectangles and polygons", [](DeviceContext& dc) {
             dc.selectBrush(kBlue);
             dc.rectangle(5, 5, 60, 50);
             const Point triangle[] = {{10, 0}, {70, 30}, {0, 59}};
             dc.polygon(triangle, 3);
         }},
        {"flood fill", [](DeviceContext& dc) {
             dc.selectPen(rgb(1, 1, 1));
             dc.selectBrush(Brush{kWhite, true});
             dc.rectangle(10, 10, 60, 50);
             dc.selectBrush(kRed);
             dc.floodFill(30, 30, rgb(1, 1, 1));
         }},
        {"text and copies", [](DeviceContext& dc) {
             dc.selectFont(FontId::Large);
             dc.setBackgroundMode(BackgroundMode::Opaque);
             dc.setBackgroundColour(kGrey);
             dc.textOut(2, 14, "Clip");
             DeviceContext patch(20, 40);
             patch.fillSolidRect(0, 0, 20, 40, kBlue);
             dc.copyFrom(patch, 50, 10);
         }},
    };
    for (const Case& c : cases) {
        DeviceContext whole(80, 60);
        c.draw(whole);
        DeviceContext clipped(80, 60);
        clipped.setRowClip(12, 40);
        c.draw(clipped);
        clipped.clearRowClip();
        EXPECT_TRUE(test::sameRegion(clipped, whole, 0, 12, 80, 40)) << c.name;
        EXPECT_EQ(countPixels(clipped, kWhite, 0, 0, 80, 12), 80 * 12) << c.name;
        EXPECT_EQ(countPixels(clipped, kWhite, 0, 40, 80, 60), 80 * 20) << c.name;
    }
}

// Moved down again and again with the rows that come in drawn afresh,
// every row holds what belongs there: whether spare rows take the moves,
// run out on the way, or there are none; a copy holds the same.
TEST_F(DeviceContextText, RowsMovedDownLandInOrder) {
    constexpr int kRows = 8;
    for (int spare : {0, 3, 5}) {
        DeviceContext moved(3, kRows, spare);
        std::deque<int> expected;  // row by row, what each holds
        int serial = 0;
        auto drawNewRows = [&](int count) {
            for (int row = count - 1; row >= 0; --row) {
                moved.setPixel(2, row, rgb(++serial, 0, 0));
                expected.push_front(serial);
            }
            expected.resize(kRows);
        };
        drawNewRows(kRows);
        for (int count : {1, 3, 2, 1, 4, 1, 2, 2, 3, 1, 1, 4, 2}) {
            moved.moveAllRowsDown(count);
            drawNewRows(count);
            DeviceContext copy = moved;
            for (int row = 0; row < kRows; ++row) {
                ASSERT_EQ(moved.pixel(2, row), rgb(expected[row], 0, 0)) << spare << " spare, row " << row;
                ASSERT_EQ(copy.pixel(2, row), rgb(expected[row], 0, 0)) << spare << " spare, row " << row;
            }
        }
    }
}

}  // namespace
}  // namespace kvt
