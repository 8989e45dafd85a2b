#pragma once
// Queries of a mount that may never return (a dead FUSE, NFS or sshfs mount blocks every stat,
// statvfs and opendir in the kernel): each runs on a thread of its own and is waited for a
// bounded time, so the window never hangs on one.
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

namespace kesp {

class MountWatch {
public:
    explicit MountWatch(std::chrono::milliseconds limit) : limit_(limit) {}

    // `query`'s result when it returned within the limit; nullopt otherwise. A query that does
    // not return keeps its thread; until it does, its mount gets nullopt at once, so a dead mount
    // holds one thread however often it is asked about. `query` must own what it uses.
    template <class T>
    std::optional<T> run(const std::string& mountPoint, std::function<T()> query);

private:
    struct Busy {
        std::mutex mutex;
        std::set<std::string> mounts; // with a query still running
    };
    std::chrono::milliseconds limit_;
    std::shared_ptr<Busy> busy_ = std::make_shared<Busy>();
};

template <class T>
std::optional<T> MountWatch::run(const std::string& mountPoint, std::function<T()> query) {
    struct Task {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<T> result;
    };
    {
        const std::lock_guard lock(busy_->mutex);
        if (!busy_->mounts.insert(mountPoint).second) return std::nullopt;
    }
    auto task = std::make_shared<Task>();
    std::thread([task, busy = busy_, mountPoint, query = std::move(query)] {
        T value = query();
        {
            // Freed before the result is published: the caller's next query of the same mount
            // must not find it still busy.
            const std::lock_guard lock(busy->mutex);
            busy->mounts.erase(mountPoint);
        }
        const std::lock_guard lock(task->mutex);
        task->result = std::move(value);
        task->done.notify_all();
    }).detach();
    std::unique_lock lock(task->mutex);
    if (!task->done.wait_for(lock, limit_, [&] { return task->result.has_value(); }))
        return std::nullopt;
    return task->result;
}

} // namespace kesp
