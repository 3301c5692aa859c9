// The error queue and the status registers.
#include "scpi/scpi_status.h"

#include <gtest/gtest.h>

namespace {

using rfsense::scpi::Status;

TEST(ScpiStatus, ErrorsComeOutOldestFirstThenNoError) {
    Status status;
    status.push_error(-113, "BOGUS");
    status.push_error(-222, "frequency 1e+11 Hz, allowed 10MHz to 26.5GHz");
    EXPECT_EQ(status.pop_error(), "-113,\"Undefined header; BOGUS\"");
    EXPECT_EQ(status.pop_error(),
              "-222,\"Data out of range; frequency 1e+11 Hz, allowed 10MHz to 26.5GHz\"");
    EXPECT_EQ(status.pop_error(), "0,\"No error\"");
}

TEST(ScpiStatus, AFullQueueEndsInQueueOverflowAndStaysBounded) {
    Status status;
    for (int i = 0; i < 1000; ++i) status.push_error(-113, "X");
    EXPECT_EQ(status.error_count(), Status::kQueueCapacity);
    for (std::size_t i = 1; i < Status::kQueueCapacity; ++i)
        EXPECT_EQ(status.pop_error(), "-113,\"Undefined header; X\"");
    EXPECT_EQ(status.pop_error(), "-350,\"Queue overflow\"");
    EXPECT_EQ(status.pop_error(), "0,\"No error\"");
}

TEST(ScpiStatus, EventRegisterAndStatusByte) {
    Status status;
    EXPECT_EQ(status.status_byte(), 0);
    status.push_error(-113);                 // command error: bit 5
    status.push_error(-222);                 // execution error: bit 4
    status.push_error(-240);                 // execution error class too
    EXPECT_EQ(status.status_byte(), 4 | 64); // error available, no enabled event
    status.set_event_enable(32);
    EXPECT_EQ(status.status_byte(), 4 | 32 | 64);
    EXPECT_EQ(status.read_event_status(), 32 | 16);
    EXPECT_EQ(status.read_event_status(), 0); // cleared by reading
    status.clear();
    EXPECT_EQ(status.status_byte(), 0);
    EXPECT_EQ(status.event_enable(), 32); // *CLS keeps the mask
}

} // namespace
