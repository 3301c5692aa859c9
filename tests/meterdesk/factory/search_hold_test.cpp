// SearchHold: while a tool holds the bridges, the measurement thread opens none of them for its
// sensor search, and the search goes on once the hold ends.
#include "meterdesk/core/search_hold.h"
#include "meterdesk/support/meter_fixture.h"

#include <rfsim/rfsim_bus.h>

namespace {

using namespace meterdesk_test;

class SearchHoldTest : public MeterTest {};

TEST_F(SearchHoldTest, TheSearchWaitsWhileABridgeToolHoldsTheBus) {
    configure("plugged = 0\n");
    start();
    ASSERT_TRUE(wait_no_sensor());
    {
        meterdesk::SearchHold hold(state);
        set("plugged", "1");
        // The tool may open the sensor's bridge itself: the search is not using it.
        const int handle = rfsim_bus_open(0);
        EXPECT_GT(handle, 0) << rfsim_error();
        rfsim_bus_close(handle);
        std::this_thread::sleep_for(200ms); // many search periods
        EXPECT_NE(state.connection_state, meterdesk::kConnectionMeasuring);
    }
    EXPECT_TRUE(wait_measuring());
}

} // namespace
