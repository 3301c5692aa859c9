#include "help_text.h"

#include <rfsense/rfsense.h>

namespace rfsense::cli {

namespace {

constexpr const char *help_text = R"(Usage: rfsense [GLOBAL OPTIONS] COMMAND [OPTIONS]

Measure RF power with a USB power sensor, from scripts and headless machines.
Global options may also follow the command.

Commands:
  list                   list the attached USB-serial bridges and which are sensors
  info                   show the sensor's model, serial, firmware, diode data and
                         library revision
  read                   take power readings
  zero                   zero the sensor and show the offsets measured (apply no RF
                         power); the zero lasts for one session, so use read --zero
                         to measure with a fresh zero
  firmware FILE          check the Intel HEX FILE, rewrite it into the copy the
                         sensor takes (blank fillers below 0x3000, 0x3000-0x4FFF
                         and record types 02, 03, 05 left out) and send that copy
                         to the sensor's download mode
  serve                  remote control: a SCPI server for the sensor on a TCP socket
                         (what VISA opens as TCPIP::host::5025::SOCKET)

Global options:
      --simulate[=FILE]  use the simulated sensor bus: the built-in default sensor,
                         or the bus described in the configuration FILE of
                         "key = value" lines (power_dbm = -20, or power_dbm = off
                         for no RF; the README lists the keys)
      --data-dir DIR     folder of the sensor library's data files (tcd.dat, ...)
  -h, --help             show this help and exit
  -V, --version          show version information and exit

Options for info:
  -t, --table            also print the cal-factor table (frequency, factor in %)

Options for firmware:
      --normalise-only   print the copy on standard output; no sensor is touched

Options for read:
  -n, --count N          take N readings (default 1)
  -c, --continuous       read until SIGINT or SIGTERM, then close the sensor
  -u, --unit UNIT        dbm (default), w (watts) or v (detector volts)
      --format FORMAT    text (default) or csv; csv has a header line and the columns
                         timestamp,value,unit,over_range, the timestamp in ISO 8601
                         local time with milliseconds
  -f, --frequency HZ     signal frequency, for the cal factor; suffixes k, M and G
                         are accepted (2.4G, 100kHz)
      --cal-factor PCT   cal factor in percent (50 to 150), instead of the one the
                         sensor's table gives for the frequency
      --offset DB        add DB to every reading (-50 to 100), e.g. for an attenuator
      --duty PCT         duty cycle of a pulsed signal in percent (above 0, up to 100)
  -r, --resolution N     decimals shown, 0 to 3 (default 3)
      --relative         take the first reading as the reference and show the others
                         relative to it, in dB (or in % with --unit w)
      --zero             zero the sensor first (apply no RF power while zeroing)
  -o, --output FILE      also log every reading to FILE as csv rows (the columns of
                         --format csv); a new or empty FILE gets the header line, a
                         FILE that starts with it is appended to, any other file is
                         refused unchanged. Rows reach the disk at least once a
                         second, so a crash or power loss costs at most the last
                         second; on a terminal, standard error shows the count

Options for serve:
  -p, --port N           TCP port (default 5025)
      --listen ADDR      address to listen on (default 127.0.0.1: this machine only;
                         0.0.0.0 lets every machine that reaches this one control
                         the sensor, without any authentication)
      --serial S         serve the sensor with serial number S (default: the first)
      --idle-timeout S   close a client silent for S seconds (default 600)

  One client controls the sensor at a time; another connection gets one error
  line and is closed. SIGINT or SIGTERM stops the server and closes the sensor.
  With --simulate, SIMulation:SET 0,"power_dbm","-20" and SIMulation:GET? 0,"key"
  change and read the simulated sensor (unplug it with "plugged","0").

  The first reading (and the --relative reference) waits until auto-ranging has
  chosen the range for the applied power and the average holds a full length of
  conversions in it: about 1 s in range 0 (high power: 50 conversions at 50/s),
  3 s in range 1 (100 at 33.3/s) and 18 s in range 2 (low power: 150 at 8.33/s),
  counted after start-up or after the zero. Each later reading is the moving
  average one conversion on, so readings follow at 50, 33.3 or 8.33 a second.

  Readings above the sensor's range are marked OVER RANGE in text, and with 1 in
  the over_range column in csv. Zeroing shows its progress on standard error.

Environment:
  RFSENSE_LINK           ftdi (default): sensors through libftdi1; sim: the
                         simulated bus with its default sensor
  RFSENSE_SIM            a simulator configuration file, or "default": use the
                         simulated bus (--simulate sets it)

Exit status:
  0      success; a continuous read ended by SIGINT or SIGTERM included
  1      usage error, or a simulator configuration that cannot be used
  2      no sensor connected
  3      value refused by the sensor (the message names the accepted range)
  4      sensor lost during the command
  5      sensor not responding: disconnect and reconnect it
  6      zero too large: check that no power is applied
  7      standard output or the --output log could not be written
  8      firmware: the file could not be read
  9      firmware: a line of the file was refused (nothing was sent)
  10     firmware: the sensor did not take every line; run it again, or
         reprogram the sensor with the FLASH programmer if it no longer connects
  128+N  stopped by signal N before the readings asked for were taken

  Calibration-data problems found at start-up (cal factor table, equation,
  temperature compensation or linearity data) are warnings on standard error;
  the command goes on with the defaults the library puts in their place.

Examples:
  rfsense list
  rfsense --simulate read -n 5
  rfsense read --frequency 2.4G --offset 20 -n 100 --format csv > power.csv
  rfsense read --zero --continuous --unit w
  rfsense read --continuous --output power-log.csv
  rfsense info --table
  rfsense --simulate serve --port 5025
)";

} // namespace

void print_help(std::FILE *out) {
    std::fputs(help_text, out);
}

void print_version(std::FILE *out) {
    char library[20] = {};
    SensorDLL_Revision(library);
    std::fprintf(out, "rfsense %s (sensor library %s)\n", RFSENSE_CLI_VERSION, library);
}

void print_usage_hint(std::FILE *out) {
    std::fputs("Try 'rfsense --help' for more information.\n", out);
}

} // namespace rfsense::cli
