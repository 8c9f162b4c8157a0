// A small persistent pool of helper threads for work that is split across the
// machine's cores but must look single-threaded to its caller: every call
// returns only after all its work is done.
#pragma once

#include <functional>

// Runs work() on `participants` threads at once, the calling thread being one
// of them, and returns when every one of them has returned. The helper
// threads are started on first need, kept for later calls and joined at
// process exit. One caller at a time: the pool is meant for the GLUT thread.
void RunInParallel(int participants, const std::function<void()>& work);

// The number of participants that fills the machine: the hardware threads
// this process may run on, at least one.
int MachineThreads();
