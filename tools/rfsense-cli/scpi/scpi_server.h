// The SCPI socket server: raw TCP (one message line per LF, replies ending in LF), as a LAN
// instrument offers it on port 5025 and VISA libraries open it as "TCPIP::host::port::SOCKET".
//
// One client controls the instrument at a time: a connection made while another client is
// connected is told so in one error line and closed. The server never waits for a client: input
// lines are limited (a longer one is dropped with -363), a client whose unread replies pile up
// beyond a limit is disconnected, and a client silent for the idle time-out is closed so that
// the instrument is free again. Everything runs on the calling thread.
#pragma once

#include "scpi/scpi_instrument.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace rfsense::scpi {

struct ServerOptions {
    std::string listen_address = "127.0.0.1";
    int port = 5025; // 0: any free port (tests)
    std::chrono::milliseconds idle_timeout{std::chrono::minutes(10)};
    std::size_t max_line = 4096;
    std::size_t max_pending_output = 64 * 1024;
};

class Server {
  public:
    Server(Instrument &instrument, ServerOptions options);
    ~Server();
    Server(const Server &) = delete;
    Server &operator=(const Server &) = delete;

    // Binds and listens; false with a reason ("address in use", ...) in `error`.
    bool listen(std::string &error);

    // The port listened on (the chosen one when 0 was asked).
    int port() const { return port_; }

    // Serves until `stop_requested` returns true (checked at least every 100 ms); then closes
    // every connection.
    void run(const std::function<bool()> &stop_requested);

  private:
    struct Client {
        int socket = -1;
        std::string input;       // bytes of a line not yet complete
        std::string output;      // reply bytes the client has not taken yet
        bool discarding = false; // the rest of an overlong line is dropped
        std::chrono::steady_clock::time_point last_heard;
    };

    void accept_clients();
    // Reads what the client sent and runs its complete lines; false when it has gone.
    bool receive(Client &client);
    // Writes what the socket takes now; false when the client has gone or reads too little.
    bool flush(Client &client);
    void close_client(Client &client);

    Instrument &instrument_;
    ServerOptions options_;
    int listener_ = -1;
    int port_ = 0;
    std::optional<Client> controller_;
};

} // namespace rfsense::scpi
