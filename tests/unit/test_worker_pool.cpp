#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

#include "render/worker_pool.h"

namespace {

struct Record {
  std::atomic<int> finished{0};
  std::mutex mutex;
  std::multiset<std::thread::id> threads;
};

void Participate(void* context) {
  Record& record = *static_cast<Record*>(context);
  {
    std::lock_guard<std::mutex> lock(record.mutex);
    record.threads.insert(std::this_thread::get_id());
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  record.finished++;
}

}  // namespace

// Each call runs the work once on each of its participants, one of them the
// caller, each on its own thread, and returns only when all have finished,
// whether the pool has to grow for it or already has helpers to spare.
TEST(WorkerPool, EveryParticipantRunsOnceAndAllFinishBeforeTheCallReturns) {
  for (int participants : {1, 3, 2, 6, 3}) {
    Record record;
    RunInParallel(participants, Participate, &record);
    EXPECT_EQ(record.finished.load(), participants) << participants << " participants";
    EXPECT_EQ(static_cast<int>(record.threads.size()), participants);
    EXPECT_EQ(std::set<std::thread::id>(record.threads.begin(), record.threads.end()).size(),
              record.threads.size())
        << "a thread ran the work twice";
    EXPECT_EQ(record.threads.count(std::this_thread::get_id()), 1u) << "the caller takes part";
  }

  // Once stopped, the pool still returns with the work done, by the caller.
  StopWorkerPool();
  Record record;
  RunInParallel(4, Participate, &record);
  EXPECT_EQ(record.finished.load(), 1);
  EXPECT_EQ(record.threads.count(std::this_thread::get_id()), 1u);
}
