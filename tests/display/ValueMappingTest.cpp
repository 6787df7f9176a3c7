#include <cmath>
#include <limits>

#include "TrendFixture.h"
#include "display/ValueMapping.h"

namespace kvt {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

class ValueMappingTest : public test::TrendTest {
protected:
    int across(double value, int engineering = 0, uint8_t status = 1, int index = 0) {
        updatePlotRange(1, index);
        return mapValueX(engineering, 1, index, value, status);
    }
    int upwards(double value, int engineering = 0, uint8_t status = 1, int index = 0) {
        updatePlotRange(1, index);
        return mapValueY(engineering, 1, index, value, status);
    }
};

TEST_F(ValueMappingTest, LinearValuesWithTheirMarginsAndEdges) {
    struct Case {
        double value;
        int column;
        int row;
    };
    const Case cases[] = {
        {0, 30, 460},    {100, 770, 60},  {50, 400, 260},  {25, 215, 360},
        {-14, 2, 478},   {-15, 0, 480},   {-40, 0, 480},   {114, 798, 41},
        {115, 800, 40},  {-1, 28, 461},   {kInf, 800, 40}, {-kInf, 0, 480},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(across(c.value), c.column) << c.value;
        EXPECT_EQ(upwards(c.value), c.row) << c.value;
        EXPECT_EQ(across(c.value, 1), c.column) << "playback " << c.value;
    }
}

TEST_F(ValueMappingTest, PlotRangeInsideTheScaleAndAnEmptyOne) {
    PenSettings& settings = pen(1, 0);
    settings.scaleLow = 0;
    settings.scaleHigh = 200;  // plot 0-100 is 0-50 % of the scale
    EXPECT_EQ(across(50, 1), 400);
    EXPECT_EQ(across(25), 400);  // live values are percent of the input range
    settings.plotHigh = settings.plotLow = 40;
    EXPECT_EQ(across(10), 0);
    EXPECT_EQ(upwards(90), 40);
    settings.scaleHigh = settings.scaleLow = 7;  // empty scale: the whole plot range
    EXPECT_EQ(across(50), 400);
}

TEST_F(ValueMappingTest, LogarithmicPensUseDecadesFromTheLowExponent) {
    PenSettings& settings = pen(1, 0);
    settings.logScale = 1;
    settings.logLowExponent = -1;
    settings.logDecadesIndex = 2;  // 4 decades: 0.1 to 1000
    settings.inputHigh = settings.scaleHigh = 1000;
    EXPECT_EQ(across(0), 30);
    EXPECT_EQ(upwards(0), 460);
    EXPECT_EQ(across(-5), 30);
    EXPECT_EQ(across(1), 30 + 740 / 4);
    EXPECT_EQ(upwards(10), 460 - 200);
    EXPECT_EQ(across(5000), 770);
    EXPECT_EQ(upwards(1000, 1), 60);
    settings.inputHigh = 10;  // live: input 0-10 is scale 0-1000
    EXPECT_EQ(across(0.1), 400);
}

TEST_F(ValueMappingTest, PowerFactorOnItsChannelsTurnsWithTheStatusByte) {
    PenSettings& settings = pen(1, 0);
    settings.analogType = 5;
    settings.channel = 71;
    EXPECT_EQ(across(1.0, 0, 0), 400);
    EXPECT_EQ(across(1.0, 0, 1), 400);
    EXPECT_EQ(across(0.0, 0, 0), 585);  // 75 %
    EXPECT_EQ(across(0.0, 0, 1), 215);  // 25 %
    EXPECT_EQ(upwards(0.0, 0, 0), 160);
    EXPECT_EQ(across(0.0, 1, 0), 30);  // playback values are plain engineering values
    settings.channel = 12;
    EXPECT_EQ(across(0.0, 0, 0), 30);
}

TEST_F(ValueMappingTest, DiscretePensStayInTheirLanes) {
    for (int index = 0; index < kPensPerGroup; ++index) {
        pen(1, index).isDiscrete = 1;
        int laneLeft = 30 + index * 740 / 13;
        int laneRight = 30 + (index + 1) * 740 / 13;
        int off = across(0.0, 0, 1, index);
        int on = across(1.0, 0, 1, index);
        EXPECT_EQ(off, static_cast<int>(30 + (index + 0.25) * 740 / 13)) << index;
        EXPECT_EQ(on, static_cast<int>(30 + (index + 0.75) * 740 / 13)) << index;
        EXPECT_EQ(across(0.5, 0, 1, index), off) << "anything but 1.0 is OFF";
        EXPECT_GT(off, laneLeft);
        EXPECT_LT(on, laneRight);
        EXPECT_LT(upwards(1.0, 0, 1, index), upwards(0.0, 0, 1, index));
    }
}

TEST_F(ValueMappingTest, DamagedRangesAndValuesStayInTheImage) {
    PenSettings& settings = pen(1, 0);
    const double values[] = {kNaN, kInf, -kInf, 1e10, -1e300, 1e300, 0, 55};
    const double ranges[][2] = {{100, 0}, {kNaN, 5}, {-kInf, kInf}, {1e300, -1e300}, {3, 3}};
    for (const auto& range : ranges) {
        for (int field = 0; field < 3; ++field) {
            settings.inputLow = settings.scaleLow = settings.plotLow = 0;
            settings.inputHigh = settings.scaleHigh = settings.plotHigh = 100;
            double* low[] = {&settings.inputLow, &settings.scaleLow, &settings.plotLow};
            double* high[] = {&settings.inputHigh, &settings.scaleHigh, &settings.plotHigh};
            *low[field] = range[0];
            *high[field] = range[1];
            for (double value : values) {
                for (int engineering : {0, 1}) {
                    int column = across(value, engineering);
                    int row = upwards(value, engineering);
                    EXPECT_TRUE(column >= 0 && column <= 800) << value << " " << column;
                    EXPECT_TRUE(row >= 40 && row <= 480) << value << " " << row;
                }
            }
        }
    }
    EXPECT_EQ(mapValueX(0, 11, 0, 5, 0), 30);  // no such group
    EXPECT_EQ(mapValueY(0, 1, 12, 5, 0), 460);  // no such pen
}

}  // namespace
}  // namespace kvt
