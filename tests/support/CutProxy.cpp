#include "support/CutProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string_view>

namespace testsupport {

namespace {

// A COM_QUERY packet holding exactly "COMMIT", as the client library sends it.
constexpr std::string_view commitPacket("\x07\x00\x00\x00\x03"
                                        "COMMIT",
                                        11);

bool sendAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        data += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

CutProxy::CutProxy(int serverPort) : serverPort_(serverPort) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::listen(listener_, 16) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len) != 0 ||
        ::pipe(wake_) != 0)
        throw std::runtime_error("proxy: cannot listen on the loopback address");
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { run(); });
}

CutProxy::~CutProxy() {
    stop_ = true;
    const char b = 0;
    [[maybe_unused]] const ssize_t n = ::write(wake_[1], &b, 1);
    thread_.join();
    while (!links_.empty())
        close(links_.size() - 1);
    for (int fd : {listener_, wake_[0], wake_[1]})
        ::close(fd);
}

void CutProxy::close(size_t index) {
    ::close(links_[index].client);
    ::close(links_[index].server);
    links_.erase(links_.begin() + long(index));
}

void CutProxy::run() {
    char buf[65536];
    while (!stop_) {
        if (dropRequested_.exchange(false)) {
            cuts_ += int(links_.size());
            while (!links_.empty())
                close(links_.size() - 1);
        }
        std::vector<pollfd> fds = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
        for (const Link& l : links_) {
            fds.push_back({l.client, POLLIN, 0});
            fds.push_back({l.server, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), 20) <= 0)
            continue;
        if (fds[0].revents & POLLIN) {
            const int client = ::accept(listener_, nullptr, nullptr);
            const int server = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in a{};
            a.sin_family = AF_INET;
            a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            a.sin_port = htons(uint16_t(serverPort_));
            if (client >= 0 && server >= 0 && ::connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
                links_.push_back({client, server});
            } else {
                ::close(client);
                ::close(server);
            }
            continue; // the link list changed: poll afresh
        }
        for (size_t i = 0; i < links_.size(); ++i) {
            const short fromClient = fds[2 + 2 * i].revents, fromServer = fds[3 + 2 * i].revents;
            if (!(fromClient & (POLLIN | POLLHUP | POLLERR)) && !(fromServer & (POLLIN | POLLHUP | POLLERR)))
                continue;
            const bool upstream = fromClient & (POLLIN | POLLHUP | POLLERR);
            const Link link = links_[i];
            const ssize_t n = ::recv(upstream ? link.client : link.server, buf, sizeof buf, 0);
            if (n <= 0) {
                close(i);
                break;
            }
            const Cut cut = cut_;
            if (upstream && cut == Cut::AfterCommitAnswered && committed_) { // the next request after COMMIT
                cut_ = Cut::Never;
                committed_ = false;
                ++cuts_;
                close(i);
                break;
            }
            if (upstream && cut == Cut::AfterCommitAnswered &&
                std::string_view(buf, size_t(n)).find(commitPacket) != std::string_view::npos)
                committed_ = true;
            else if (upstream && cut != Cut::Never && cut != Cut::AfterCommitAnswered &&
                     std::string_view(buf, size_t(n)).find(commitPacket) != std::string_view::npos) {
                cut_ = Cut::Never;
                if (cut == Cut::AfterCommit) {
                    sendAll(link.server, buf, size_t(n));
                    // Time for the server to carry it out before the link goes.
                    std::this_thread::sleep_for(std::chrono::milliseconds(150));
                }
                ++cuts_;
                close(i);
                break;
            }
            if (!sendAll(upstream ? link.server : link.client, buf, size_t(n))) {
                close(i);
                break;
            }
        }
    }
}

} // namespace testsupport
