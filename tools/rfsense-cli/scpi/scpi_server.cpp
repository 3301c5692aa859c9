#include "scpi/scpi_server.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace rfsense::scpi {
namespace {

constexpr int kPollMs = 100;
constexpr const char *kBusyReply =
    "-240,\"Hardware error; the sensor is controlled by another client\"\n";

void set_non_blocking(int socket) {
    const int flags = fcntl(socket, F_GETFL, 0);
    if (flags >= 0) fcntl(socket, F_SETFL, flags | O_NONBLOCK);
}

} // namespace

Server::Server(Instrument &instrument, ServerOptions options)
    : instrument_(instrument), options_(std::move(options)) {}

Server::~Server() {
    if (controller_) close_client(*controller_);
    if (listener_ >= 0) ::close(listener_);
}

bool Server::listen(std::string &error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo *found = nullptr;
    const std::string service = std::to_string(options_.port);
    const int lookup =
        getaddrinfo(options_.listen_address.c_str(), service.c_str(), &hints, &found);
    if (lookup != 0) {
        error = "cannot listen on " + options_.listen_address + ": " + gai_strerror(lookup);
        return false;
    }
    int reason = 0;
    for (addrinfo *address = found; address != nullptr; address = address->ai_next) {
        const int socket =
            ::socket(address->ai_family, address->ai_socktype | SOCK_CLOEXEC, address->ai_protocol);
        if (socket < 0) {
            reason = errno;
            continue;
        }
        const int yes = 1;
        setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        if (::bind(socket, address->ai_addr, address->ai_addrlen) == 0 &&
            ::listen(socket, 16) == 0) {
            listener_ = socket;
            break;
        }
        reason = errno;
        ::close(socket);
    }
    freeaddrinfo(found);
    if (listener_ < 0) {
        error = "cannot listen on " + options_.listen_address + " port " + service + ": " +
                std::strerror(reason);
        return false;
    }
    set_non_blocking(listener_);
    sockaddr_storage bound{};
    socklen_t length = sizeof bound;
    if (getsockname(listener_, reinterpret_cast<sockaddr *>(&bound), &length) == 0) {
        port_ = bound.ss_family == AF_INET6
                    ? ntohs(reinterpret_cast<sockaddr_in6 *>(&bound)->sin6_port)
                    : ntohs(reinterpret_cast<sockaddr_in *>(&bound)->sin_port);
    }
    return true;
}

void Server::run(const std::function<bool()> &stop_requested) {
    while (!stop_requested()) {
        std::vector<pollfd> watched;
        watched.push_back({listener_, POLLIN, 0});
        if (controller_) {
            short events = POLLIN;
            if (!controller_->output.empty()) events |= POLLOUT;
            watched.push_back({controller_->socket, events, 0});
        }
        const int ready = ::poll(watched.data(), watched.size(), kPollMs);
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0 && (watched[0].revents & POLLIN) != 0) accept_clients();
        if (controller_ && watched.size() > 1 && watched[1].revents != 0) {
            bool alive = true;
            if ((watched[1].revents & (POLLIN | POLLHUP | POLLERR)) != 0)
                alive = receive(*controller_);
            if (alive && !controller_->output.empty()) alive = flush(*controller_);
            if (!alive) {
                close_client(*controller_);
                controller_.reset();
            }
        }
        if (controller_ &&
            std::chrono::steady_clock::now() - controller_->last_heard > options_.idle_timeout) {
            close_client(*controller_);
            controller_.reset();
        }
    }
    if (controller_) {
        flush(*controller_);
        close_client(*controller_);
        controller_.reset();
    }
}

void Server::accept_clients() {
    while (true) {
        const int socket = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (socket < 0) return; // EAGAIN: none left (or a transient failure)
        if (controller_) {
            // Told once, then closed: the instrument stays with its controller.
            (void)::send(socket, kBusyReply, std::strlen(kBusyReply), MSG_NOSIGNAL);
            ::close(socket);
            continue;
        }
        const int yes = 1;
        setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
        Client client;
        client.socket = socket;
        client.last_heard = std::chrono::steady_clock::now();
        controller_ = std::move(client);
    }
}

bool Server::receive(Client &client) {
    char buffer[4096];
    const ssize_t count = ::recv(client.socket, buffer, sizeof buffer, 0);
    if (count == 0) return false;
    if (count < 0) return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
    client.last_heard = std::chrono::steady_clock::now();

    std::string_view data(buffer, static_cast<std::size_t>(count));
    while (!data.empty()) {
        const auto end = data.find('\n');
        const std::string_view piece = data.substr(0, end);
        if (client.discarding) {
            if (end != std::string_view::npos) client.discarding = false;
        } else if (client.input.size() + piece.size() > options_.max_line) {
            instrument_.status().push_error(
                kInputBufferOverrun,
                "line longer than " + std::to_string(options_.max_line) + " bytes dropped");
            client.input.clear();
            client.discarding = end == std::string_view::npos;
        } else {
            client.input.append(piece);
            if (end != std::string_view::npos) {
                const std::string reply = instrument_.execute(client.input);
                client.input.clear();
                if (!reply.empty()) {
                    client.output += reply;
                    client.output += '\n';
                }
                if (client.output.size() > options_.max_pending_output) return false;
            }
        }
        if (end == std::string_view::npos) break;
        data.remove_prefix(end + 1);
    }
    return flush(client);
}

bool Server::flush(Client &client) {
    while (!client.output.empty()) {
        const ssize_t sent =
            ::send(client.socket, client.output.data(), client.output.size(), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK) break;
            if (errno == EINTR) continue;
            return false;
        }
        client.output.erase(0, static_cast<std::size_t>(sent));
    }
    return client.output.size() <= options_.max_pending_output;
}

void Server::close_client(Client &client) {
    if (client.socket >= 0) ::close(client.socket);
    client.socket = -1;
}

} // namespace rfsense::scpi
