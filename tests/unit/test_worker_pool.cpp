#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include "render/worker_pool.h"

// Each call runs the work once on each of its participants, one of them the
// caller, each on its own thread, and returns only when all have finished,
// whether the pool has to grow for it or already has helpers to spare.
TEST(WorkerPool, EveryParticipantRunsOnceAndAllFinishBeforeTheCallReturns) {
  for (int participants : {1, 3, 2, 6, 3}) {
    std::atomic<int> finished{0};
    std::mutex mutex;
    std::multiset<std::thread::id> threads;
    RunInParallel(participants, [&] {
      {
        std::lock_guard<std::mutex> lock(mutex);
        threads.insert(std::this_thread::get_id());
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      finished++;
    });
    EXPECT_EQ(finished.load(), participants) << participants << " participants";
    EXPECT_EQ(static_cast<int>(threads.size()), participants);
    EXPECT_EQ(std::set<std::thread::id>(threads.begin(), threads.end()).size(), threads.size())
        << "a thread ran the work twice";
    EXPECT_EQ(threads.count(std::this_thread::get_id()), 1u) << "the caller takes part";
  }
}
