#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <string>
#include <vector>

#include "export/atomic_file.h"
#include "export_helpers.h"
#include "gtest/gtest.h"

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

}  // namespace

TEST(AtomicFile, TheTargetAppearsOnlyWhenCommitted) {
  ScratchDir dir;
  const std::string target = dir / "image001NG.bmp";
  AtomicFile file(target);
  ASSERT_TRUE(file.Create());
  // The temporary file lies beside the target, hidden, and the target is not there yet.
  EXPECT_EQ(FolderPrefix(file.temporary()), dir.path() + "/");
  EXPECT_EQ(file.temporary().compare(dir.path().size() + 1, 16, ".image001NG.bmp."), 0);
  const std::string big(200000, 'x');  // larger than the buffer
  EXPECT_TRUE(file.Write("head", 4));
  EXPECT_TRUE(file.Write(big.data(), big.size()));
  EXPECT_TRUE(file.Write("tail", 4));
  EXPECT_EQ(dir.Entries().size(), 1u);
  EXPECT_NE(dir.Entries()[0], "image001NG.bmp");
  ASSERT_TRUE(file.Commit());
  EXPECT_EQ(ReadFile(target), "head" + big + "tail");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"image001NG.bmp"});
}

TEST(AtomicFile, AbandonedFilesLeaveNoTraceAndNoDamage) {
  ScratchDir dir;
  const std::string target = dir / "noise001N.stl";
  WriteFile(target, "earlier");
  {
    AtomicFile file(target);
    ASSERT_TRUE(file.Create());
    EXPECT_TRUE(file.Write("half a file", 11));
  }  // never committed
  EXPECT_EQ(ReadFile(target), "earlier");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"noise001N.stl"});
}

TEST(AtomicFile, WhatCannotBeAFileIsRefusedBeforeWriting) {
  ScratchDir dir;
  const std::string folder = dir / "noise001N.stl";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  AtomicFile atFolder(folder);
  EXPECT_FALSE(atFolder.Create());
  EXPECT_FALSE(atFolder.Write("x", 1));
  EXPECT_FALSE(atFolder.Commit());

  AtomicFile inMissingFolder(dir / "missing/noise001N.stl");
  EXPECT_FALSE(inMissingFolder.Create());
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"noise001N.stl"});
}

TEST(AtomicFile, PermissionsAsForAFreshOrARewrittenFile) {
  ScratchDir dir;
  const mode_t old = umask(027);
  AtomicFile fresh(dir / "fresh");
  ASSERT_TRUE(fresh.Create());
  ASSERT_TRUE(fresh.Commit());
  EXPECT_EQ(ModeOf(dir / "fresh"), 0640u);

  // Replacing a file keeps its permissions, as rewriting it in place would.
  WriteFile(dir / "kept", "earlier");
  chmod((dir / "kept").c_str(), 0604);
  AtomicFile replaced(dir / "kept");
  ASSERT_TRUE(replaced.Create());
  ASSERT_TRUE(replaced.Write("new", 3));
  ASSERT_TRUE(replaced.Commit());
  umask(old);
  EXPECT_EQ(ModeOf(dir / "kept"), 0604u);
  EXPECT_EQ(ReadFile(dir / "kept"), "new");
}

// A real write failure from the system: a file-size limit makes write(2)
// fail with EFBIG part-way, as a full disk does with ENOSPC.
TEST(AtomicFile, ASystemWriteFailureFailsTheCommitAndKeepsTheEarlierFile) {
  ScratchDir dir;
  const std::string target = dir / "noise001N.stl";
  WriteFile(target, "earlier");
  struct rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  void (*previous)(int) = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 100000;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);

  AtomicFile file(target);
  bool created = file.Create();
  const std::string chunk(30000, 'y');
  bool writes = true;
  for (int i = 0; i < 10; i++) writes = file.Write(chunk.data(), chunk.size()) && writes;
  const bool committed = file.Commit();

  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, previous);
  EXPECT_TRUE(created);
  EXPECT_FALSE(writes);
  EXPECT_FALSE(committed);
  EXPECT_EQ(ReadFile(target), "earlier");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"noise001N.stl"});
}

TEST(FailureReason, TheSystemsWordsOrAPlainStatement) {
  EXPECT_EQ(FailureReason(ENOSPC), "No space left on device");
  EXPECT_EQ(FailureReason(EACCES), "Permission denied");
  EXPECT_EQ(FailureReason(0), "the data could not be written");
  MessageCapture messages;
  PrintFailureReason(messages.file(), EROFS);
  PrintFailureReason(messages.file(), 0);
  EXPECT_EQ(messages.Text(), "  Read-only file system\n  the data could not be written\n");
}

// ---------------------------------------------------------------------------
// Temporary files left by a writer that did not finish
// ---------------------------------------------------------------------------

TEST(TemporaryNames, OnlyOurExactPatternForThatTarget) {
  long pid = 0;
  EXPECT_TRUE(IsTemporaryNameOf(".noise001N.stl.1234-0.tmp", "noise001N.stl", &pid));
  EXPECT_EQ(pid, 1234);
  EXPECT_TRUE(IsTemporaryNameOf(".a-b.c.7-15.tmp", "a-b.c", &pid));
  EXPECT_EQ(pid, 7);
  const char* const nearMisses[] = {
      "noise001N.stl.1234-0.tmp",    // not hidden
      ".noise001N.stl.1234-0.tmp~",  // something after
      ".noise001N.stl.1234-0.temp",  ".noise001N.stl.1234.tmp",  ".noise001N.stl.-0.tmp",
      ".noise001N.stl.1234-.tmp",    ".noise001N.stl.12a4-0.tmp", ".noise001N.stl.+12-0.tmp",
      ".noise001N.stl.1234-0-1.tmp", ".noise001N.stl.0-0.tmp",    ".noise001N.stl.0123-0.tmp",
      ".noise001N.stl.99999999999-0.tmp",  // no process has that number
      ".noise002N.stl.1234-0.tmp",         // another target
      ".xnoise001N.stl.1234-0.tmp",        ".noise001N.stl1234-0.tmp"};
  for (const char* name : nearMisses) {
    EXPECT_FALSE(IsTemporaryNameOf(name, "noise001N.stl", &pid)) << name;
  }
}

TEST(TemporaryNames, OnlyFilesOfProcessesThatAreGoneAreRemoved) {
  // A process that has surely ended: a child that was reaped.
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  const std::string dead = std::to_string(child);
  const std::string live = std::to_string(getppid());

  ScratchDir dir;
  const std::vector<std::string> kept = {
      ".noise001N.stl." + live + "-3.tmp",             // its writer is still at work
      ".noise001N.stl." + std::to_string(getpid()) + "-0.tmp",  // ours
      ".noise002N.stl." + dead + "-0.tmp",             // another target's
      ".noise001N.stl." + dead + "-0.tmp.keep",        // not our name
      "noise001N.stl." + dead + "-0.tmp"};
  for (const std::string& name : kept) WriteFile(dir / name, "x");
  WriteFile(dir / (".noise001N.stl." + dead + "-0.tmp"), "half");
  WriteFile(dir / (".noise001N.stl." + dead + "-12.tmp"), "half");

  EXPECT_EQ(RemoveStaleTemporaryFiles(dir / "noise001N.stl"), 2);
  std::vector<std::string> expected = kept;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.Entries(), expected);

  // Creating the file cleans up the same way.
  WriteFile(dir / (".noise001N.stl." + dead + "-5.tmp"), "half");
  AtomicFile file(dir / "noise001N.stl");
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Commit());
  expected.push_back("noise001N.stl");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.Entries(), expected);
}

// What a signal handler calls: the open file's temporary name goes, a
// committed or abandoned file's is no longer looked at.
TEST(TemporaryNames, OpenFilesAreRemovedOnRequest) {
  ScratchDir dir;
  AtomicFile open(dir / "image001NG.bmp");
  ASSERT_TRUE(open.Create());
  ASSERT_TRUE(open.Write("part", 4));
  EXPECT_EQ(dir.Entries().size(), 1u);
  RemoveOpenTemporaryFiles();
  EXPECT_TRUE(dir.Entries().empty());

  AtomicFile done(dir / "noise001N.stl");
  ASSERT_TRUE(done.Create());
  ASSERT_TRUE(done.Commit());
  RemoveOpenTemporaryFiles();
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"noise001N.stl"});
}
