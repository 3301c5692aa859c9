// The SCPI socket server: replies over TCP, one controlling client, and clients that misbehave
// (overlong lines, floods, never reading, leaving mid-reply, many at once) without stalling the
// server; and the command stopping cleanly on SIGTERM with a client attached.
#include "scpi/scpi_server.h"

#include <rfsim/rfsim.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

const bool sim_link_chosen = (setenv("RFSENSE_LINK", "sim", 0), true);

// A client socket with a 5 s receive time-out, so that no test waits for ever.
class Client {
  public:
    explicit Client(int port) {
        socket_ = ::socket(AF_INET, SOCK_STREAM, 0);
        timeval limit{5, 0};
        setsockopt(socket_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        connected_ =
            ::connect(socket_, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~Client() { close(); }
    Client(const Client &) = delete;
    Client &operator=(const Client &) = delete;

    bool connected() const { return connected_; }
    bool send(const std::string &text) {
        return ::send(socket_, text.data(), text.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(text.size());
    }
    // One reply line without its LF; empty when the server closed or stayed silent.
    std::string line() {
        while (true) {
            const auto end = buffer_.find('\n');
            if (end != std::string::npos) {
                std::string reply = buffer_.substr(0, end);
                buffer_.erase(0, end + 1);
                return reply;
            }
            char chunk[4096];
            const ssize_t count = ::recv(socket_, chunk, sizeof chunk, 0);
            if (count <= 0) return {};
            buffer_.append(chunk, static_cast<std::size_t>(count));
        }
    }
    std::string ask(const std::string &query) {
        send(query + "\n");
        return line();
    }
    // True when the server has closed the connection (reads end).
    bool closed_by_server() {
        char byte;
        while (true) {
            const ssize_t count = ::recv(socket_, &byte, 1, 0);
            if (count == 0) return true;
            if (count < 0) return false;
        }
    }
    void close() {
        if (socket_ >= 0) ::close(socket_);
        socket_ = -1;
    }

  private:
    int socket_ = -1;
    bool connected_ = false;
    std::string buffer_;
};

// Connects until the server takes the new client as its controller (the previous one may take
// a moment to be dropped); nullptr when that does not happen within 10 s.
std::unique_ptr<Client> controlling_client(int port) {
    const auto end = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < end) {
        auto client = std::make_unique<Client>(port);
        if (client->ask("*OPC?") == "1") return client;
        std::this_thread::sleep_for(20ms);
    }
    return nullptr;
}

class ScpiServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_GE(rfsim_configure("[device]\npower_dbm = -20\n"), 0) << rfsim_error();
    }
    void start(rfsense::scpi::ServerOptions options = {}) {
        options.port = 0;
        server = std::make_unique<rfsense::scpi::Server>(instrument, options);
        std::string error;
        ASSERT_TRUE(server->listen(error)) << error;
        thread = std::thread([this] { server->run([this] { return stop.load(); }); });
    }
    void TearDown() override {
        stop = true;
        if (thread.joinable()) thread.join();
    }
    int port() const { return server->port(); }

    rfsense::scpi::SensorConnection sensor;
    rfsense::scpi::Instrument instrument{sensor};
    std::unique_ptr<rfsense::scpi::Server> server;
    std::atomic<bool> stop{false};
    std::thread thread;
};

TEST_F(ScpiServerTest, RepliesLineByLineAndChainsInOneReply) {
    start();
    Client client(port());
    ASSERT_TRUE(client.connected());
    EXPECT_EQ(client.ask("*IDN?").rfind("Zyn Quorix,", 0), 0u);
    EXPECT_EQ(client.ask("FREQ 1GHZ;FREQ?\r"), "1.000000E+09"); // CR LF is accepted
    EXPECT_EQ(client.ask("*OPC?;*OPC?"), "1;1");
    client.send("*RST\n"); // no reply for a command
    EXPECT_NEAR(std::stod(client.ask("MEAS?")), -20.0, 0.02);
}

TEST_F(ScpiServerTest, ASecondClientIsToldAndClosedWhileTheFirstKeepsControl) {
    start();
    Client first(port());
    EXPECT_EQ(first.ask("*OPC?"), "1");
    std::vector<std::unique_ptr<Client>> others;
    for (int i = 0; i < 50; ++i) others.push_back(std::make_unique<Client>(port()));
    for (auto &other : others) {
        EXPECT_EQ(other->line().rfind("-240,", 0), 0u);
        EXPECT_TRUE(other->closed_by_server());
    }
    EXPECT_NEAR(std::stod(first.ask("MEAS?")), -20.0, 0.02);
    first.close();
    // Once the controller has gone, the next client controls.
    EXPECT_TRUE(controlling_client(port()));
}

TEST_F(ScpiServerTest, AnOverlongLineIsDroppedWithOverrunAndTheNextLineRuns) {
    start();
    Client client(port());
    client.send(std::string(100000, 'A') + "\n");
    EXPECT_EQ(client.ask("SYST:ERR?").rfind("-363,", 0), 0u);
    EXPECT_EQ(client.ask("*OPC?"), "1");
}

TEST_F(ScpiServerTest, AFloodOfBinaryBytesLeavesTheServerServing) {
    start();
    {
        Client flood(port());
        std::mt19937 random(7);
        std::string junk(1 << 20, '\0');
        for (char &byte : junk) byte = static_cast<char>(random());
        flood.send(junk);
        flood.send("\n*OPC?\n");
        // The flood's replies may be many; the server stays with this client.
        EXPECT_NE(flood.line(), "");
    }
    EXPECT_TRUE(controlling_client(port()));
}

TEST_F(ScpiServerTest, AClientThatNeverReadsIsDisconnectedAndAnotherGetsControl) {
    rfsense::scpi::ServerOptions options;
    options.max_pending_output = 16 * 1024;
    start(options);
    Client greedy(port());
    std::string queries;
    for (int i = 0; i < 2000; ++i) queries += "*IDN?\n";
    // Sending stops being possible, or the server closes: either way it does not stall.
    for (int i = 0; i < 200 && greedy.send(queries); ++i) {
    }
    EXPECT_TRUE(controlling_client(port()));
}

TEST_F(ScpiServerTest, AClientLeavingMidReplyAndAnIdleOneFreeTheInstrument) {
    rfsense::scpi::ServerOptions options;
    options.idle_timeout = 300ms;
    start(options);
    {
        Client leaving(port());
        leaving.send("*IDN?;*IDN?;*IDN?\n");
    } // closed before the reply is read
    auto idle = controlling_client(port());
    ASSERT_TRUE(idle);
    EXPECT_TRUE(idle->closed_by_server()); // silent for longer than the idle time-out
    EXPECT_TRUE(controlling_client(port()));
}

#ifdef RFSENSE_CLI_PATH
// `rfsense serve` ends with status 0 on SIGTERM while a client is connected, and says which
// port it serves on.
TEST(ScpiServeCommand, StopsCleanlyOnSigtermWithAClientAttached) {
    int errors[2];
    ASSERT_EQ(pipe(errors), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(errors[1], STDERR_FILENO);
        execl(RFSENSE_CLI_PATH, "rfsense", "--simulate", "serve", "--port", "0", nullptr);
        _exit(127);
    }
    close(errors[1]);
    std::string banner;
    char c;
    while (read(errors[0], &c, 1) == 1 && c != '\n') banner += c;
    close(errors[0]);
    const auto at = banner.rfind("port ");
    ASSERT_NE(at, std::string::npos) << banner;
    const int port = std::stoi(banner.substr(at + 5));
    Client client(port);
    EXPECT_EQ(client.ask("*OPC?"), "1");
    kill(child, SIGTERM);
    int status = 0;
    const auto end = std::chrono::steady_clock::now() + 5s;
    pid_t done = 0;
    while ((done = waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(20ms);
    if (done == 0) kill(child, SIGKILL), waitpid(child, &status, 0);
    ASSERT_EQ(done, child) << "the server did not stop on SIGTERM";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(client.closed_by_server());
}
#endif

} // namespace
