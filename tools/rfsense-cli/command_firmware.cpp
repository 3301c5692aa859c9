// `firmware`: check a HEX file, rewrite it into the copy the sensor takes, and send it (or only
// print the copy). The check, the rewrite and the download protocol are the meter's own.
#include "commands.h"

#include "diagnostics.h"
#include "session.h"

#include "meterdesk/factory/firmware_hex.h"
#include "meterdesk/factory/firmware_transfer.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace rfsense::cli {

ExitStatus run_firmware(const CommandLine &line) {
    const std::string &file = line.firmware.file;
    std::ifstream in(file, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    if (!in || in.bad()) {
        report_error("cannot read the firmware file '" + file + "'");
        return ExitStatus::file_refused;
    }
    const meterdesk::FirmwareCopy copy = meterdesk::normalise_firmware(content.str());
    if (copy.refusal) {
        report_error(file + ", line " + std::to_string(copy.refusal->line) + ": " +
                     copy.refusal->reason + "; nothing was sent to the sensor");
        return ExitStatus::line_refused;
    }
    if (line.firmware.normalise_only) {
        const std::string text = meterdesk::firmware_copy_text(copy.lines);
        if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() ||
            std::fflush(stdout) != 0) {
            report_error("cannot write the copy");
            return ExitStatus::output_failed;
        }
        return ExitStatus::ok;
    }

    Session session;
    if (const ExitStatus status = session.open(line.global); status != ExitStatus::ok)
        return status;
    const meterdesk::TransferResult sent =
        meterdesk::send_firmware(session.record(), copy.lines, meterdesk::TransferTiming{});
    if (sent.end == meterdesk::TransferEnd::kComplete) {
        std::fprintf(stderr, "rfsense: %d lines sent and acknowledged\n", sent.total);
        return ExitStatus::ok;
    }
    if (!sent.dload_sent) return report_sensor_lost();
    report_error(meterdesk::firmware_state_sentence(sent));
    return ExitStatus::firmware_not_taken;
}

} // namespace rfsense::cli
