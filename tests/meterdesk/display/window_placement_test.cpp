#include "meterdesk/core/window_placement.h"

#include <gtest/gtest.h>

#include <vector>

namespace meterdesk {
namespace {

struct PlaceCase {
    const char *what;
    int left;
    int top;
    WindowPlace expected;
};

TEST(WindowPlacement, AWindowOffItsScreenIsMovedJustInsideTheNearestOrMostCoveredScreen) {
    // A 1920 x 1080 primary screen with a 40-pixel panel at its top, and a 1280 x 1024 screen
    // to its right, its top aligned with the primary's.
    const std::vector<Rect> screens = {{0, 40, 1920, 1040}, {1920, 0, 1280, 1024}};
    const int width = 600;
    const int height = 325;
    const PlaceCase cases[] = {
        {"inside the primary screen: kept", 300, 250, {300, 250}},
        {"inside the second screen: kept", 2000, 100, {2000, 100}},
        {"under the top panel: moved down below it", 300, 10, {300, 40}},
        {"half off the right of the second screen", 2900, 500, {3200 - 600, 500}},
        {"far to the right, where a third screen was", 5000, 300, {3200 - 600, 300}},
        {"far to the left and above", -3000, -2000, {0, 40}},
        {"below the second screen, which is the nearer", 2500, 1500, {2500, 1024 - 325}},
        {"across both screens, mostly on the primary", 1500, 200, {1920 - 600, 200}},
        {"across both screens, mostly on the second", 1800, 200, {1920, 200}},
    };
    for (const PlaceCase &c : cases)
        EXPECT_EQ(place_window(c.left, c.top, width, height, screens), c.expected) << c.what;
}

TEST(WindowPlacement, NoScreensKeepThePositionAndATooLargeWindowGoesToTheTopLeft) {
    EXPECT_EQ(place_window(5000, -40, 600, 325, {}), (WindowPlace{5000, -40}));
    EXPECT_EQ(place_window(100, 100, 800, 700, {{0, 0, 640, 480}}), (WindowPlace{0, 0}));
}

} // namespace
} // namespace meterdesk
