// The meter's data log on screen: the File menu's two items and the title.
#include "meterdesk/gui/support/meter_app_fixture.h"

#include "meterdesk/core/data_log_control.h"
#include "meterdesk/core/reading_log.h"

namespace meterdesk_test {
namespace {

TEST_F(MeterAppTest, StartAndStopOfTheDataLogChangeTheTitle) {
    configure();
    start();
    ASSERT_TRUE(wait_measuring());
    QAction *start_item = window().menu_action(meterdesk::kCmdStartDataLog);
    QAction *stop_item = window().menu_action(meterdesk::kCmdStopDataLog);
    ASSERT_NE(start_item, nullptr);
    ASSERT_NE(stop_item, nullptr);
    EXPECT_TRUE(start_item->isEnabled());
    EXPECT_FALSE(stop_item->isEnabled());

    const auto file = home.path() / "meter-log.csv";
    ASSERT_TRUE(app->data_log().start(file.string()));
    ASSERT_TRUE(wait([&] {
        return window().windowTitle().startsWith("Zyn Quorix USB Power Sensor - Logging: ") &&
               window().windowTitle().endsWith(" readings") && app->reading_log().accepted() > 0;
    }));
    EXPECT_FALSE(start_item->isEnabled());
    EXPECT_TRUE(stop_item->isEnabled());

    stop_item->trigger();
    ASSERT_TRUE(wait([&] { return window().windowTitle() == "Zyn Quorix USB Power Sensor"; }));
    EXPECT_TRUE(start_item->isEnabled());
    EXPECT_GT(app->reading_log().saved(), 0u);
}

} // namespace
} // namespace meterdesk_test
