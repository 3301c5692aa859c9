// SensorInit: finds the first attached sensor, opens it, identifies it, loads its calibration
// data, sets the measurement defaults and starts the library's threads.
#include "acquire.h"
#include "averaging.h"
#include "cal_data.h"
#include "channel.h"
#include "convert.h"
#include "data_folder.h"
#include "models.h"
#include "record.h"
#include "session.h"

#include "link/sensor_bridge.h"
#include "rfsense/rfsense.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace {

using namespace rfsense;

constexpr int16_t ready_reply = 75;

// Copies `text` into a fixed field, cut to fit with its NUL.
template <size_t N>
void copy_bounded(char (&field)[N], std::string_view text) {
    const size_t length = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), length);
    field[length] = '\0';
}

bool lost(const SensorRecord &record) {
    return record.connected.load() == 0;
}

// Closes the device of a start-up that could not finish.
void abandon(SensorRecord &record) {
    record.connected.store(0);
    std::lock_guard lock(record.channel);
    record.device.reset();
}

// Step 1: the lowest-numbered device whose description names a sensor or an unprogrammed
// bridge. Its serial number goes into the record; `description` receives its description.
bool select_device(SensorRecord &record, std::string &description) {
    link::Bus &bus = link::active_bus();
    uint32_t count = 0;
    if (bus.list_devices(count) != link::Status::ok) return false;
    for (uint32_t index = 0; index < count; ++index) {
        std::unique_ptr<link::Device> device;
        if (bus.open(index, device) != link::Status::ok || !device) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        link::DeviceInfo info;
        if (device->info(info) != link::Status::ok) continue; // closed as `device` goes
        if (!link::is_sensor_bridge(info.description)) continue;
        copy_bounded(record.serial_number, info.serial);
        description = info.description;
        std::lock_guard lock(record.channel);
        record.device = std::move(device);
        return true;
    }
    return false;
}

// Step 2: true when the sensor reports ready, after one reset if needed.
bool sensor_ready(SensorRecord &record) {
    {
        std::lock_guard lock(record.channel);
        record.device->purge();
    }
    record.connected.store(1);
    const int16_t first = channel::query_i16_timed(record, "INIT?\n");
    if (first == ready_reply || first == 1) return true;
    channel::send(record, "RST\n");
    return channel::query_i16_timed(record, "INIT?\n") == ready_reply;
}

// The decimal number written at `position` of the identity, 0 if there is none.
int number_at(const char *identity, size_t position) {
    if (position >= std::strlen(identity)) return 0;
    int value = 0;
    for (const char *p = identity + position; *p >= '0' && *p <= '9'; ++p)
        value = value * 10 + (*p - '0');
    return value;
}

// Step 4: identity (cut to its field) and firmware revision.
void read_identity(SensorRecord &record) {
    std::lock_guard lock(record.channel);
    channel::send_locked(record, "ID?\n");
    const int length = channel::read_line_locked(record);
    std::string_view line(record.reply, static_cast<size_t>(length));
    line = line.substr(0, line.find('\n'));
    copy_bounded(record.identity, line);
    record.firmware_revision = number_at(record.identity, 12) * 10 + number_at(record.identity, 14);
}

// Step 5: the folder of the calibration files.
std::string choose_data_folder(SensorRecord &record) {
    if (record.path_not_set == 0) return record.data_path;
    std::string folder = data_folder::default_for(models::is_brand_a(record.serial_number));
    // A folder too long for the record's field is still used; the field is then left empty
    // rather than holding a cut, wrong folder.
    if (folder.size() < sizeof record.data_path)
        copy_bounded(record.data_path, folder);
    else
        record.data_path[0] = '\0';
    return folder;
}

// Step 6: measurement defaults and range 2 with a cleared average.
void measurement_defaults(SensorRecord &record) {
    record.trigger_mode.store(0);
    for (auto &offset : record.zero_offsets) offset.store(0);
    record.range_index.store(2);
    record.zeroed.store(0);
    record.over_range.store(0);
    record.zero_handshake.store(0);
    record.high_reference = 3.3;
    record.low_reference = 1.17;
    record.adc_mid_scale = 8388608;
    acquire::select_reference(record, false); // "REF1", low reference, 1.17 / 2^24 per count
    channel::send(record, "BI\n");
    constexpr int32_t range_defaults[9] = {0, 1, 1, 4, 6, 12, 50, 100, 150};
    for (size_t i = 0; i < 9; ++i) record.range_settings[i].store(range_defaults[i]);
    record.range_hold.store(0);
    acquire::select_range(record, 2, true);
}

// Step 9: step detection on with an empty history.
void step_detection_defaults(SensorRecord &record) {
    record.step_detect_on.store(1);
    std::lock_guard lock(record.average);
    record.step_history.fill(0.0);
    averaging::clear_step_history(record);
    record.step_mean = 0;
}

// Step 10 for model 5: the band file, else the default equation.
int load_band_parameters(SensorRecord &record, const std::string &folder) {
    std::array<std::array<double, 10>, 8> bands{};
    if (cal_data::load_band_file(data_folder::join(folder, "tessaline prams.txt"), bands)) {
        {
            std::lock_guard lock(record.conversion);
            record.band_parameters = bands;
        }
        convert::frequency_changed(record); // selects the band of the current frequency
        return 1;
    }
    // Empty band rows keep the default equation in use when a frequency is set later.
    std::lock_guard lock(record.conversion);
    record.equation = models::default_equation;
    record.band_parameters = {};
    return SENSOR_EQUATION_DEFAULTS;
}

// Step 12: string, offset, duty-cycle, relative and thermistor defaults.
void reading_defaults(SensorRecord &record) {
    record.string_resolution.store(3);
    record.immediate.store(0);
    record.offset_db.store(0);
    record.offset_on.store(0);
    record.duty_cycle.store(100);
    record.duty_on.store(0);
    record.relative_dbm.store(0);
    record.relative_mw.store(0);
    record.relative_on.store(0);
    record.over_range_threshold = 2.75;
    record.thermistor_reference = 2.5;
    record.thermistor[0] = {33000, 30000, 4143};
    record.thermistor[1] = {43000, 47000, 4050};
    record.thermistor[2] = {43000, 47000, 4050};
}

// Step 13; returns 1 or the load code.
int load_temp_comp(SensorRecord &record, const std::string &folder) {
    const int model = record.model_index;
    if (model == 5) {
        std::lock_guard lock(record.conversion);
        record.temp_comp_table = {};
        record.extended_tcd = false;
        return 1;
    }
    bool stored = false;
    if (record.firmware_revision >= 40) {
        const int result = cal_data::load_stored_temp_comp(record, stored);
        if (stored) return result;
    }
    std::array<std::array<double, 10>, 46> table{};
    const int result = cal_data::load_tcd_file(data_folder::join(folder, "tcd.dat"), model, table);
    std::lock_guard lock(record.conversion);
    record.temp_comp_table = table;
    record.extended_tcd = false;
    return result;
}

// Step 14; returns 1 or the load code.
int load_linearity(SensorRecord &record) {
    int result = 1;
    if (record.firmware_revision >= 46 && record.model_index != 5) {
        result = cal_data::load_linearity(record);
    } else {
        record.linearity_on.store(0);
        record.linearity_loaded.store(0);
    }
    record.linearity_applicable.store(0); // until a frequency is set
    return result;
}

// Steps 15 and 18 (the latter before the threads start, so that they begin from these values).
void thread_defaults(SensorRecord &record) {
    record.zero_limit = models::model(record.model_index).zero_limit;
    record.reader_running.store(1);
    record.temperature_request.store(0);
    record.pause_request.store(0);
    record.temperature1.store(25);
    record.temperature_at_zero.store(25);
    record.temperature_at_zero_copy.store(25);
    record.tick_interval.store(5);
    record.beep_on_tick.store(0);
    record.temp_comp_on.store(1);
    // The thermistors are read before the first conversion, so the first average is
    // compensated for the sensor's real temperature rather than 25 'C.
    record.temperature_update_due.store(1);
}

int32_t initialise(SensorRecord &record) {
    // A session left on the record (for example after SensorForceDisconnect) ends first.
    if (record.device || record.reader_thread.joinable() || record.tick_thread.joinable())
        session::end(record);
    record.connected.store(0);

    std::string description;
    if (!select_device(record, description)) return 0;

    if (!sensor_ready(record)) {
        const bool gone = lost(record);
        abandon(record);
        return gone ? 0 : SENSOR_NOT_RESPONDING;
    }

    // Step 3.
    record.generic = link::is_unprogrammed_bridge(description);
    record.model_index = models::model_from_description(description.c_str());
    if (record.model_index == models::generic_model) copy_bounded(record.serial_number, "RXZ0000");

    read_identity(record);
    if (lost(record)) {
        abandon(record);
        return 0;
    }
    const std::string folder = choose_data_folder(record);
    measurement_defaults(record);

    int32_t result = 1;
    const int model = record.model_index;
    // Steps 7 and 8.
    if (model == 5) {
        record.frequency.store(75e9);
        record.cal_factor.store(1.0); // model 5 has no cal-factor table
        std::lock_guard lock(record.conversion);
        record.frequency_points = models::frequency_table(model, record.frequency_table);
        record.cal_factor_table.fill(1.0);
    } else {
        record.frequency.store(50e6);
        {
            std::lock_guard lock(record.conversion);
            record.frequency_points = models::frequency_table(model, record.frequency_table);
        }
        if (record.generic) {
            {
                std::lock_guard lock(record.conversion);
                record.cal_factor_table.fill(1.0);
            }
            record.cal_factor.store(1.0);
        } else {
            if (const int code = cal_data::load_cal_factors(record); code != 1) result = code;
            convert::frequency_changed(record);
        }
    }
    step_detection_defaults(record);

    // Step 10.
    int equation = 1;
    if (model == 5) {
        equation = load_band_parameters(record, folder);
    } else if (record.generic) {
        std::lock_guard lock(record.conversion);
        record.equation = models::default_equation;
    } else {
        equation = cal_data::load_equation(record);
    }
    if (equation != 1) result = equation;

    // Step 11.
    if (record.generic) {
        record.diode_serial = 0;
        record.k_factor = 0;
    } else {
        cal_data::load_diode_data(record);
    }

    reading_defaults(record);
    if (const int code = load_temp_comp(record, folder); code != 1) result = code;
    if (const int code = load_linearity(record); code != 1) result = code;
    thread_defaults(record);
    convert::init_threshold_power(record);

    // A sensor that stopped answering during start-up is not a session.
    if (lost(record)) {
        abandon(record);
        return 0;
    }

    // Step 17.
    record.measurement_event.reset();
    record.temperature_event.reset();
    record.run_event.set();
    acquire::start_threads(record);
    return result;
}

} // namespace

extern "C" int32_t SensorInit(SensorRecord *record) {
    if (record == nullptr) return 0;
    return initialise(*record);
}
