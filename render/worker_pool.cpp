#include "render/worker_pool.h"

#ifndef __EMSCRIPTEN__
#include <sched.h>
#endif

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace {

// All pool state sits under one mutex. A call publishes its work as a new
// generation; each helper runs each generation at most once.
std::mutex poolMutex;
std::condition_variable workPosted;
std::condition_variable workFinished;
std::vector<std::thread> helpers;
void (*postedWork)(void*) = nullptr;
void* postedContext = nullptr;
unsigned generation = 0;
int helpersWanted = 0;   // helpers 0 .. helpersWanted-1 take part in this generation
int helpersRunning = 0;  // of those, the ones not yet finished
bool stopping = false;
bool exitHookSet = false;

void HelperLoop(int index) {
  unsigned seen = 0;
  std::unique_lock<std::mutex> lock(poolMutex);
  for (;;) {
    workPosted.wait(lock, [&] { return stopping || generation != seen; });
    if (stopping) return;
    seen = generation;
    if (index >= helpersWanted) continue;
    void (*work)(void*) = postedWork;
    void* context = postedContext;
    lock.unlock();
    work(context);
    lock.lock();
    if (--helpersRunning == 0) workFinished.notify_one();
  }
}

}  // namespace

// exit() runs this before the statics above are destroyed (it is registered
// after they were constructed), so no joinable thread outlives the process.
void StopWorkerPool() {
  {
    std::lock_guard<std::mutex> lock(poolMutex);
    stopping = true;
  }
  workPosted.notify_all();
  for (std::thread& helper : helpers) helper.join();
  helpers.clear();
}

int MachineThreads() {
  // The CPUs this process may run on (taskset, a container's limit), which
  // can be fewer than the machine has.
  // A browser has no affinity; there the count is the page's, and a build
  // without threads has one.
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
  return 1;
#else
#ifndef __EMSCRIPTEN__
  cpu_set_t allowed;
  if (sched_getaffinity(0, sizeof allowed, &allowed) == 0) {
    const int n = CPU_COUNT(&allowed);
    if (n > 0) return n;
  }
#endif
  const unsigned n = std::thread::hardware_concurrency();
  return n == 0 ? 1 : static_cast<int>(n);
#endif
}

void RunInParallel(int participants, void (*work)(void*), void* context) {
  const int wanted = participants - 1;
  if (wanted <= 0) {
    work(context);
    return;
  }
  {
    std::lock_guard<std::mutex> lock(poolMutex);
    // Once stopped (at exit, say) the pool starts no thread again: the work
    // is all done here instead, which its caller cannot tell apart.
    if (stopping) {
      work(context);
      return;
    }
    if (!exitHookSet) {
      std::atexit(StopWorkerPool);
      exitHookSet = true;
    }
    // A thread the system refuses to start only means fewer participants.
    try {
      while (static_cast<int>(helpers.size()) < wanted) {
        helpers.emplace_back(HelperLoop, static_cast<int>(helpers.size()));
      }
    } catch (const std::system_error&) {
    }
    helpersWanted = std::min(wanted, static_cast<int>(helpers.size()));
    if (helpersWanted == 0) {
      work(context);
      return;
    }
    postedWork = work;
    postedContext = context;
    helpersRunning = helpersWanted;
    generation++;
  }
  workPosted.notify_all();
  work(context);
  std::unique_lock<std::mutex> lock(poolMutex);
  workFinished.wait(lock, [] { return helpersRunning == 0; });
  postedWork = nullptr;
  postedContext = nullptr;
}
