#include <sys/resource.h>
#include <sys/stat.h>

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
