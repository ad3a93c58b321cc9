#include "model/MivoUtl.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace mivo {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    struct Case {
        double x;
        double rounded;
    };
    const Case cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {12.5, 12}, {13.5, 14}, {-0.5, 0}, {-1.5, -2},
                          {-2.5, -2}, {33.333333, 33}, {66.6, 67}, {-4.6, -5}, {0.49999999999999994, 0},
                          {4503599627370497.0, 4503599627370497.0}, {1e300, 1e300}, {-1e300, -1e300}};
    for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.x), c.rounded) << c.x;
    EXPECT_FALSE(std::signbit(RoundHalfEven(-0.4)));
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
}

TEST(RoundClamped, HoldsAnyValueWithinTheRange) {
    struct Case {
        double x;
        int expected;
    };
    const Case cases[] = {{12.5, 12}, {13.5, 14}, {250, 100}, {-5, 0}, {1e300, 100}, {-1e300, 0},
                          {100.5, 100}, {-0.5, 0}, {std::numeric_limits<double>::infinity(), 100},
                          {-std::numeric_limits<double>::infinity(), 0},
                          {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const Case& c : cases) EXPECT_EQ(RoundClamped(c.x, 0, 100), c.expected) << c.x;
}

}  // namespace
}  // namespace mivo
