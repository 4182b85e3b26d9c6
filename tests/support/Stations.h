#pragma once

#include "support/TestServer.h"

#include <QThread>
#include <atomic>
#include <functional>

namespace testsupport {

// Runs `work` on `stations` threads at the same moment, each with a connection of its own as
// the program's account, the way several workstations save at once. Gives how many
// stations failed (their errors are printed).
inline int runStations(const TestDatabase& db, int stations, const std::function<void(data::Connection&, int)>& work) {
    std::atomic<int> failures{0};
    QList<QThread*> threads;
    for (int s = 0; s < stations; ++s) {
        threads << QThread::create([&, s] {
            try {
                auto c = db.connect();
                work(*c, s);
            } catch (const std::exception& e) {
                qWarning("station %d failed: %s", s, e.what());
                ++failures;
            }
        });
        threads.last()->start();
    }
    for (QThread* t : threads) {
        if (!t->wait(180000))
            ++failures;
        delete t;
    }
    return failures.load();
}

} // namespace testsupport
