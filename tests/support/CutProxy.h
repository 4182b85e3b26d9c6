#pragma once

#include "data/Connection.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace testsupport {

// A TCP relay on 127.0.0.1 to the test server that cuts the link as a network fault would: the
// next COMMIT never arrives (BeforeCommit), its answer never returns (AfterCommit), the link dies
// just after it (AfterCommitAnswered), or every link now (dropAll()).
class CutProxy {
public:
    enum class Cut { Never, BeforeCommit, AfterCommit, AfterCommitAnswered };

    explicit CutProxy(int serverPort);
    ~CutProxy();
    CutProxy(const CutProxy&) = delete;
    CutProxy& operator=(const CutProxy&) = delete;

    int port() const { return port_; }
    // A connection to the database `s` names, opened through this relay.
    std::unique_ptr<data::Connection> connect(data::ConnectionSettings s) const {
        s.port = port_;
        auto c = std::make_unique<data::Connection>(s);
        c->open();
        return c;
    }
    void cutAtNextCommit(Cut how) { cut_ = how; }
    void dropAll() { dropRequested_ = true; }
    // How many links were cut so far.
    int cuts() const { return cuts_; }

private:
    struct Link {
        int client;
        int server;
    };
    int serverPort_;
    int listener_ = -1;
    int port_ = 0;
    int wake_[2] = {-1, -1};
    std::atomic<Cut> cut_{Cut::Never};
    std::atomic<bool> dropRequested_{false};
    bool committed_ = false;
    std::atomic<bool> stop_{false};
    std::atomic<int> cuts_{0};
    std::vector<Link> links_;
    std::thread thread_;

    void run();
    void close(size_t index);
};

} // namespace testsupport
