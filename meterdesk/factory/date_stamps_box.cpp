#include "meterdesk/factory/date_stamps_box.h"

#include "meterdesk/base/paths.h"
#include "meterdesk/core/app_state.h"
#include "meterdesk/factory/calibration_dates.h"
#include "meterdesk/factory/sensor_exchange.h"

#include <algorithm>
#include <fstream>

namespace meterdesk {

namespace ids = date_stamps_box;

namespace {

constexpr int kStampFirmware = 30;          // stamps are kept from firmware 3.0
constexpr int kLinearityStampFirmware = 47; // the linearity stamp from 4.7, on the RX4LO
constexpr std::size_t kDateChars = 6;

std::string stamp_text(SensorRecord *sensor, const char *command, int current_year) {
    const auto reply = query_line(sensor, command);
    if (!reply) return ids::kUnknown;
    return date_code_text(*reply, current_year);
}

} // namespace

std::tm local_today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local;
}

std::string tcd_date_text(bool readable, std::string_view start) {
    if (!readable) return ids::kNoTcdFile;
    if (start.size() < kDateChars || !std::all_of(start.begin(), start.begin() + kDateChars,
                                                  [](char c) { return c >= '0' && c <= '9'; }))
        return kDateNotSet;
    return std::string(start.substr(0, 2)) + "-" + std::string(start.substr(2, 2)) + "-20" +
           std::string(start.substr(4, 2));
}

DateStampsDialog::DateStampsDialog(AppState &state, TakeoverTiming timing,
                                   std::function<std::tm()> today)
    : state_(state), timing_(timing), today_(std::move(today)) {}

void DateStampsDialog::open(Controls &controls) {
    const int current_year = today_().tm_year + 1900;
    show_sensor_stamps(controls, current_year);

    std::ifstream tcd(paths::quorix_root() / "tcd.dat", std::ios::binary);
    char start[kDateChars] = {};
    std::size_t got = 0;
    const bool readable = tcd.is_open();
    if (readable) {
        tcd.read(start, kDateChars);
        got = static_cast<std::size_t>(tcd.gcount());
    }
    controls.set_text(ids::kTempCompDate, tcd_date_text(readable, std::string_view(start, got)));
}

void DateStampsDialog::show_sensor_stamps(Controls &controls, int current_year) {
    std::string equation = ids::kUnknown;
    std::string cal_factor = ids::kUnknown;
    std::string linearity = ids::kUnknown;
    if (state_.sensor_connected) {
        SensorTakeover takeover(state_, timing_);
        if (takeover) {
            linearity = ids::kNotApplicable;
            const int firmware = state_.firmware_number;
            if (firmware >= kStampFirmware) {
                ReaderPause pause(takeover.sensor());
                equation = stamp_text(takeover.sensor(), "DAEQ?\n", current_year);
                cal_factor = stamp_text(takeover.sensor(), "DACF?\n", current_year);
                if (firmware >= kLinearityStampFirmware && state_.model_index == kModelRx4)
                    linearity = stamp_text(takeover.sensor(), "DALC?\n", current_year);
            }
        }
    }
    controls.set_text(ids::kEquationDate, equation);
    controls.set_text(ids::kCalFactorDate, cal_factor);
    controls.set_text(ids::kLinearityDate, linearity);
}

DialogAction DateStampsDialog::clicked(Controls &, int id) {
    return id == ids::kClose ? DialogAction::kClose : DialogAction::kStay;
}

} // namespace meterdesk
