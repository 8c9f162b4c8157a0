// A small persistent pool of helper threads for work that is split across the
// machine's cores but must look single-threaded to its caller: every call
// returns only after all its work is done.
#pragma once

// Runs work(context) on `participants` threads at once, the calling thread
// being one of them, and returns when every one of them has returned. The
// helper threads are started on first need, kept for later calls and
// stopped at process exit; a call after that runs the work on the caller's
// thread alone. Nothing is allocated per call. One caller at a time: the
// pool is meant for the GLUT thread.
void RunInParallel(int participants, void (*work)(void* context), void* context);

// Joins the helper threads now (process exit does it otherwise). Later calls
// still do all their work, on the caller's thread.
void StopWorkerPool();

// The number of participants that fills the machine: the hardware threads
// this process may run on, at least one.
int MachineThreads();
