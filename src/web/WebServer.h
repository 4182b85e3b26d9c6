#pragma once

#include "data/Config.h"

#include <memory>

namespace web {

struct ServerOptions {
    QString listen = QStringLiteral("127.0.0.1");
    int port = 8080; // 0: any free port
    data::ConnectionSettings db;
    // The account that may only record readers' alert requests and their confirmations.
    data::ConnectionSettings requestDb;
    int threads = 16;
};

// The intranet report server: the report and search pages under the paths the program's
// menu opens, nothing else. Each worker thread reads with a connection of its own.
class WebServer {
public:
    explicit WebServer(ServerOptions options);
    ~WebServer();

    // Takes the address and port; false with the reason when they cannot be had.
    bool bind(QString* error);
    int port() const;
    // Answers requests until stop() (from any thread).
    void run();
    void stop();

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace web
