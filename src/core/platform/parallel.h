#pragma once

#include <QThread>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace Parallel {

// Runs work(0) .. work(count - 1) on every core, each index once, and returns
// when all have run. `work` must be safe to run on several threads at once.
template <typename Work> void forEachOnAllCores(int count, const Work& work)
{
    const int threads = std::max(1, std::min(count, QThread::idealThreadCount()));
    std::atomic<int> next{0};
    std::vector<std::thread> pool;
    for (int t = 0; t < threads; ++t)
        pool.emplace_back([&] {
            for (int i = next++; i < count; i = next++)
                work(i);
        });
    for (std::thread& thread : pool)
        thread.join();
}

} // namespace Parallel
