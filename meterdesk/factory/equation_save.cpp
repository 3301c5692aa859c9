#include "meterdesk/factory/equation_save.h"

#include "meterdesk/core/app_state.h"
#include "meterdesk/core/ports.h"
#include "meterdesk/core/settings_files.h"
#include "meterdesk/factory/date_stamp.h"
#include "meterdesk/settings/number_text.h"

#include <rfsense/rfsense.h>

#include <cstring>

namespace meterdesk {

namespace {

class ReaderPause {
  public:
    explicit ReaderPause(SensorRecord *sensor) : sensor_(sensor) { SensorComms(sensor_, 0); }
    ~ReaderPause() { SensorComms(sensor_, 1); }
    ReaderPause(const ReaderPause &) = delete;
    ReaderPause &operator=(const ReaderPause &) = delete;

  private:
    SensorRecord *sensor_;
};

bool send(SensorRecord *sensor, const std::string &bytes) {
    return SensorMessage(sensor, bytes.data(), static_cast<int32_t>(bytes.size())) != 0;
}

std::string two_digits(int n) {
    return (n < 10 ? "0" : "") + printf_int(n);
}

// Each parameter's 8 bytes ("EQnnRD", 9 bytes with the line end) and the checksum ("EQCS?",
// 5 bytes), read as binary: their bytes may hold 0x0A.
bool read_equation(SensorRecord *sensor, StoredEquation &stored) {
    for (int n = 1; n <= 13; ++n) {
        char reply[9] = {};
        if (!send(sensor, "EQ" + two_digits(n) + "RD\n") ||
            SensorMessageDataQuery(sensor, reply, 9) == 0)
            return false;
        std::memcpy(stored.bytes.data() + 8 * (n - 1), reply, 8);
    }
    char reply[5] = {};
    if (!send(sensor, "EQCS?\n") || SensorMessageDataQuery(sensor, reply, 5) == 0) return false;
    std::memcpy(stored.checksum.data(), reply, 4);
    return true;
}

bool consistent(const StoredEquation &e) {
    std::uint32_t sum = 0;
    for (unsigned char b : e.bytes) sum += b;
    std::uint32_t stored = 0;
    for (int i = 3; i >= 0; --i) stored = stored << 8 | e.checksum[static_cast<std::size_t>(i)];
    return stored != 0 && stored == sum; // the library refuses a zero checksum
}

void report(Ui &ui, const std::string &what_the_sensor_holds) {
    ui.message(kEquationSaveCaption,
               "Sensor EE/FLASH write failed.\nChecksum wrong on read verify.\n\n" +
                   what_the_sensor_holds,
               MessageButtons::kOk, MessageIcon::kExclamation);
}

bool write_and_verify(Ui &ui, SensorRecord *sensor, const StoredEquation &wanted) {
    StoredEquation before;
    if (!read_equation(sensor, before)) {
        report(ui, "The sensor stopped answering before the equation was sent. Nothing was "
                   "written to the sensor.");
        return false;
    }
    bool sent = true;
    for (int n = 1; sent && n <= 13; ++n) {
        sent = send(sensor, "FX15\n") && send(sensor, "EQ" + two_digits(n) + "WR");
        for (int i = 0; sent && i < 8; ++i)
            sent = send(sensor, std::string(1, static_cast<char>(wanted.bytes[8 * (n - 1) + i])));
        sent = sent && send(sensor, "\n");
    }
    sent = sent && send(sensor, "FX9\n") && send(sensor, "EQCS");
    for (std::size_t i = 0; sent && i < 4; ++i)
        sent = send(sensor, std::string(1, static_cast<char>(wanted.checksum[i])));
    sent = sent && send(sensor, "\n");

    StoredEquation now;
    if (!sent || !read_equation(sensor, now)) {
        report(ui, "The sensor stopped answering: what it now holds could not be checked.");
        return false;
    }
    if (now == wanted) return true;
    if (now == before)
        report(ui, "Nothing was written to the sensor.");
    else if (consistent(now))
        report(ui, "The sensor holds a complete equation, but not the one written.");
    else
        report(ui, "The sensor's stored equation is incomplete: until it is written again it "
                   "uses the default equation.");
    return false;
}

std::string levmar_file(const char *name) {
    return (levmar_folder() / name).string();
}

std::optional<std::vector<Level>> expanded_levels(Ui &ui) {
    const auto levels = read_levels(levmar_file("data_to_fit.dat"));
    if (!levels.value) {
        ui.message(kFitCheckCaption, levels.error, MessageButtons::kOk, MessageIcon::kExclamation);
        return std::nullopt;
    }
    return expand_levels(*levels.value);
}

} // namespace

StoredEquation stored_equation(const EquationPrams &prams) {
    StoredEquation e;
    std::uint32_t sum = 0;
    for (std::size_t n = 0; n < prams.size(); ++n) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &prams[n], sizeof bits);
        for (std::size_t i = 0; i < 8; ++i) {
            e.bytes[8 * n + i] = static_cast<unsigned char>(bits >> (8 * i));
            sum += e.bytes[8 * n + i];
        }
    }
    for (std::size_t i = 0; i < 4; ++i) e.checksum[i] = static_cast<unsigned char>(sum >> (8 * i));
    return e;
}

bool save_equation(AppState &state, Ui &ui, SensorRecord *sensor, const EquationPrams &prams,
                   bool from_fitter, const std::tm &today) {
    state.programming_done = false;
    ReaderPause pause(sensor);
    if (!write_and_verify(ui, sensor, stored_equation(prams))) return false;
    if (from_fitter) stamp_date(state, ui, sensor, StampKind::kEquation, today);
    state.programming_done = true;
    return true;
}

std::optional<EquationPrams> fitter_equation(Ui &ui, bool four_part) {
    const auto prams = read_fit_output(levmar_file("fn_dn_ou.dat"), four_part);
    if (!prams.value)
        ui.message(kEquationSaveCaption, prams.error, MessageButtons::kOk,
                   MessageIcon::kExclamation);
    return prams.value;
}

std::optional<FitCheck> run_fit_check(const AppState &state, Ui &ui) {
    const auto levels = expanded_levels(ui);
    if (!levels) return std::nullopt;
    const auto prams = read_fit_output(levmar_file("fn_dn_ou.dat"), state.tes_four_part);
    if (!prams.value) {
        ui.message(kFitCheckCaption, prams.error, MessageButtons::kOk, MessageIcon::kExclamation);
        return std::nullopt;
    }
    return check_fit(*levels, *prams.value, state.tes_check_limit_db);
}

std::optional<FitCheck> fit_check_for_save(const AppState &state, Ui &ui) {
    auto check = run_fit_check(state, ui);
    if (check && check->fails > 0)
        ui.message(kFitCheckCaption,
                   "Bad fit.\n" + printf_int(check->fails) + " fails\nworst " +
                       printf_fixed(check->worst, 4),
                   MessageButtons::kOk, MessageIcon::kExclamation);
    return check;
}

std::optional<std::vector<std::string>> fit_check_listing(const AppState &state, Ui &ui) {
    const auto check = run_fit_check(state, ui);
    if (!check) return std::nullopt;
    const std::string text = expanded_fit_text(*check);
    const auto file = levmar_folder() / "expanded_fit.txt";
    if (!replace_file_contents(file, reinterpret_cast<const unsigned char *>(text.data()),
                               text.size()))
        ui.message(kFitCheckCaption, "Can't access/create " + file.string(), MessageButtons::kOk,
                   MessageIcon::kExclamation);
    return fit_check_list(*check);
}

} // namespace meterdesk
