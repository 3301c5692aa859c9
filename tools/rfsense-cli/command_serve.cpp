// `serve`: the SCPI server for one sensor, until SIGINT or SIGTERM.
#include "commands.h"

#include "diagnostics.h"
#include "platform.h"
#include "scpi/scpi_instrument.h"
#include "scpi/scpi_server.h"
#include "scpi/sensor_connection.h"
#include "session.h"

#include <cstdio>
#include <string>

namespace rfsense::cli {

ExitStatus run_serve(const CommandLine &line) {
    scpi::SensorConnection sensor(line.serve.serial);
    scpi::Instrument instrument(sensor, simulated_bus());
    scpi::ServerOptions options;
    options.listen_address = line.serve.listen_address;
    options.port = static_cast<int>(line.serve.port);
    options.idle_timeout = std::chrono::seconds(line.serve.idle_timeout_s);
    scpi::Server server(instrument, options);
    std::string error;
    if (!server.listen(error)) {
        report_error(error);
        return ExitStatus::usage;
    }
    // Scripts and tests learn the port from here (useful with --port 0).
    std::fprintf(stderr, "rfsense: serving SCPI on %s port %d\n", options.listen_address.c_str(),
                 server.port());
    std::fflush(stderr);
    server.run([] { return platform::stop_signal() != 0; });
    sensor.close();
    return ExitStatus::ok;
}

} // namespace rfsense::cli
