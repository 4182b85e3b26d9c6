#pragma once

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace data {

// Runs `produce` on a thread of its own and hands what it puts out to `consume` on the
// calling thread as it comes: a long read (the server and the driver's work) goes on while
// the caller stages and lays out what was read. At most `waiting` blocks wait between the
// two, so memory stays bounded however long the read. An exception on either side stops
// both and is thrown here, after the producer has unwound (its transaction rolled back).
// The producer's objects (a connection) must not be used by the caller meanwhile.
template <class Block>
void readAhead(const std::function<void(const std::function<void(Block)>& put)>& produce,
               const std::function<void(Block&)>& consume, std::size_t waiting = 2) {
    struct Stopped {};
    std::mutex m;
    std::condition_variable changed;
    std::deque<Block> queue;
    bool done = false, stop = false;
    std::exception_ptr failed;
    std::thread producer([&] {
        try {
            produce([&](Block block) {
                std::unique_lock lock(m);
                changed.wait(lock, [&] { return stop || queue.size() < waiting; });
                if (stop)
                    throw Stopped{};
                queue.push_back(std::move(block));
                changed.notify_all();
            });
        } catch (const Stopped&) {
        } catch (...) {
            const std::lock_guard lock(m);
            failed = std::current_exception();
        }
        const std::lock_guard lock(m);
        done = true;
        changed.notify_all();
    });
    try {
        for (;;) {
            std::optional<Block> next;
            {
                std::unique_lock lock(m);
                changed.wait(lock, [&] { return done || !queue.empty(); });
                if (queue.empty())
                    break;
                next.emplace(std::move(queue.front()));
                queue.pop_front();
                changed.notify_all();
            }
            consume(*next);
        }
    } catch (...) {
        {
            const std::lock_guard lock(m);
            stop = true;
            changed.notify_all();
        }
        producer.join();
        throw;
    }
    producer.join();
    if (failed)
        std::rethrow_exception(failed);
}

} // namespace data
