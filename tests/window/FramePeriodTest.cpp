#include "window/SurfaceView.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

TEST(FramePeriod, FollowsTheScreenUnlessAFrameCostsThisThreadOrTheWindowSystemMuch)
{
    constexpr qint64 FullHd = 1920 * 1080, Uhd = 3840 * 2160, Uhd8k = 7680 * 4320;
    // refresh rate, nanoseconds the last frame took this thread, its pixels, period in ms
    for (const auto &[rate, cost, pixels, period] : std::vector<std::tuple<qreal, qint64, qint64, int>>{
             {60, 0, 0, 16},
             {0, 0, 0, 16},
             {144, 0, 0, 6},
             {2000, 0, 0, 1},
             {10, 0, 0, 50},
             {60, 0, FullHd, 16},
             {60, 0, Uhd, 24},
             {60, 0, Uhd8k, 33},
             {20, 0, Uhd, 50},
             {60, 1000000, 0, 20},
             {60, 5000000, FullHd, 33},
         })
        EXPECT_EQ(FramePeriod(rate, cost, pixels), period) << rate << " Hz, " << cost << " ns, " << pixels << " px";
}
