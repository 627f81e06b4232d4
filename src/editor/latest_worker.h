#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

namespace quillfen {

// Runs a job away from the window's thread on the newest request only: a request not yet begun
// gives way to a newer one, and the answer to an older request is never handed out once a newer
// one was asked. The window asks with ask() and, each time `ready` wakes it, takes the answer on
// its own thread with take(). The job gets everything it needs in its request (a copy, never
// the window's own data); what it keeps between requests only it touches.
template <class Request, class Answer> class LatestWorker {
public:
    // `ready` runs on the worker thread when an answer is done: it only wakes the window's
    // thread (a queued call, a posted message).
    LatestWorker(std::function<Answer(Request&)> job, std::function<void()> ready)
        : job_(std::move(job)), ready_(std::move(ready)), worker_([this] { work(); }) {}
    // Stops the worker once its job is done, and joins it.
    ~LatestWorker() {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        worker_.join();
    }
    LatestWorker(const LatestWorker&) = delete;
    LatestWorker& operator=(const LatestWorker&) = delete;

    void ask(Request request) {
        {
            std::lock_guard lock(mutex_);
            pending_.emplace(++asked_, std::move(request));
        }
        wake_.notify_one();
    }
    // No answer of the requests asked so far is handed out: the window has its answer otherwise.
    void forget() {
        std::lock_guard lock(mutex_);
        ++asked_;
        pending_.reset();
        done_.reset();
    }
    // The answer to the newest request, once it is done; nothing before, and nothing for an
    // older request finished in the meantime.
    std::optional<Answer> take() {
        std::lock_guard lock(mutex_);
        std::optional<std::pair<std::uint64_t, Answer>> done = std::exchange(done_, std::nullopt);
        if (!done || done->first != asked_)
            return std::nullopt;
        return std::move(done->second);
    }

private:
    void work() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || pending_; });
            if (stopping_)
                return;
            std::pair<std::uint64_t, Request> request = std::move(*pending_);
            pending_.reset();
            lock.unlock();
            Answer answer = job_(request.second);
            lock.lock();
            done_.emplace(request.first, std::move(answer));
            lock.unlock();
            ready_();
            lock.lock();
        }
    }

    std::function<Answer(Request&)> job_;
    std::function<void()> ready_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::optional<std::pair<std::uint64_t, Request>> pending_;
    std::optional<std::pair<std::uint64_t, Answer>> done_;
    std::uint64_t asked_ = 0;
    bool stopping_ = false;
    std::thread worker_; // last: it starts once everything above is made
};

} // namespace quillfen
