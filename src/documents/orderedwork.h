#pragma once

// Work on several threads whose outcome is the outcome of doing it in order
// on one: results are handed on in index order, and the first failure in
// that order is the one reported, after everything before it was handed on.

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <vector>

namespace documents {

// Calls produce(i) for i = 0 .. count-1 on `threads` threads of its own,
// and consume(i, result) on the calling thread in index order, each as soon
// as its result and every one before it are there. At most `window` results
// are produced ahead of the last one consumed, so results (and what they
// hold: memory, files) never pile up. The first exception in index order,
// from produce or consume, stops the work and is rethrown once the threads
// have ended; results produced beyond it are destroyed unconsumed. With one
// thread, or one item, everything runs on the calling thread, in order.
template <typename Result>
void produceInOrder(std::size_t count, int threads, std::size_t window,
    const std::function<Result(std::size_t)> &produce,
    const std::function<void(std::size_t, Result &&)> &consume)
{
    if (threads <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i)
            consume(i, produce(i));
        return;
    }
    window = std::max<std::size_t>(window, 1);

    struct Slot {
        std::optional<Result> result;
        std::exception_ptr error;
        bool done = false;
    };
    std::vector<Slot> pending(count);
    std::mutex mutex;
    std::condition_variable changed;
    std::size_t next = 0; // the first item no thread has taken
    std::size_t consumed = 0;
    bool stop = false;

    const auto work = [&] {
        for (;;) {
            std::size_t i;
            {
                std::unique_lock lock(mutex);
                changed.wait(
                    lock, [&] { return stop || next >= count || next < consumed + window; });
                if (stop || next >= count)
                    return;
                i = next++;
            }
            std::optional<Result> result;
            std::exception_ptr error;
            try {
                result.emplace(produce(i));
            } catch (...) {
                error = std::current_exception();
            }
            {
                std::lock_guard lock(mutex);
                pending[i].result = std::move(result);
                pending[i].error = error;
                pending[i].done = true;
            }
            changed.notify_all();
        }
    };

    // Declared after the pending, so the threads have ended before any slot
    // (a result a thread may still be writing) is destroyed.
    struct Pool {
        std::mutex &mutex;
        std::condition_variable &changed;
        bool &stop;
        std::vector<std::thread> threads;
        ~Pool()
        {
            {
                std::lock_guard lock(mutex);
                stop = true;
            }
            changed.notify_all();
            for (std::thread &thread : threads)
                thread.join();
        }
    } pool { mutex, changed, stop, {} };
    for (int t = 0; t < threads && std::size_t(t) < count; ++t) {
        try {
            pool.threads.emplace_back(work);
        } catch (const std::system_error &) {
            break; // the system gives no more threads: work with those there are
        }
    }
    if (pool.threads.empty()) {
        for (std::size_t i = 0; i < count; ++i)
            consume(i, produce(i));
        return;
    }

    for (std::size_t i = 0; i < count; ++i) {
        Slot slot;
        {
            std::unique_lock lock(mutex);
            changed.wait(lock, [&] { return pending[i].done; });
            slot = std::move(pending[i]);
        }
        if (slot.error)
            std::rethrow_exception(slot.error);
        consume(i, std::move(*slot.result));
        {
            std::lock_guard lock(mutex);
            consumed = i + 1;
        }
        changed.notify_all();
    }
}

} // namespace documents
