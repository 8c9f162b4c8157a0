#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <string>
#include <vector>

#include "export/atomic_file.h"
#include "export/printable.h"
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

TEST(TemporaryNames, OurPatternWhateverTheTargetAndWithinTheNameLimit) {
  long pid = 0;
  EXPECT_EQ(TemporaryName("d/noise001N.stl", 1234, 0, 255), "d/.noise001N.stl.1234-0.noisedemo.tmp");
  EXPECT_TRUE(IsTemporaryName(".noise001N.stl.1234-0.noisedemo.tmp", &pid));
  EXPECT_EQ(pid, 1234);
  EXPECT_TRUE(IsTemporaryName(".a-b.c.7-15.noisedemo.tmp", &pid));
  EXPECT_EQ(pid, 7);
  const char* const nearMisses[] = {
      "noise001N.stl.1234-0.noisedemo.tmp",    // not hidden
      ".noise001N.stl.1234-0.noisedemo.tmp~",  // something after
      ".noise001N.stl.1234-0.tmp",             // another program's
      ".1234-0.noisedemo.tmp",                 // no base
      ".noise001N.stl.1234.noisedemo.tmp",  ".noise001N.stl.-0.noisedemo.tmp",
      ".noise001N.stl.1234-.noisedemo.tmp", ".noise001N.stl.12a4-0.noisedemo.tmp",
      ".noise001N.stl.+12-0.noisedemo.tmp", ".noise001N.stl.1234-0-1.noisedemo.tmp",
      ".noise001N.stl.0-0.noisedemo.tmp",   ".noise001N.stl.0123-0.noisedemo.tmp",
      ".noise001N.stl.99999999999-0.noisedemo.tmp",  // no process has that number
      ".noise001N.stl1234-0.noisedemo.tmp"};
  for (const char* name : nearMisses) EXPECT_FALSE(IsTemporaryName(name, &pid)) << name;

  // A base of every length up to the limit gives a name within the limit
  // that is recognisably ours; a cut never splits a UTF-8 character.
  for (size_t length = 1; length <= 255; length++) {
    const std::string base(length, 'n');
    const std::string name = TemporaryName(base, 2147483647, 4294967295u, 255);
    ASSERT_LE(name.size(), 255u) << length;
    ASSERT_TRUE(IsTemporaryName(name, &pid)) << length;
  }
  // 255 - 1 - 23 = 231 bytes of room: 228 "a" and one and a half "é".
  const std::string accented = std::string(228, 'a') + "\xc3\xa9\xc3\xa9\xc3\xa9";
  EXPECT_EQ(TemporaryName(accented, 99999, 12, 255),
            "." + accented.substr(0, 230) + ".99999-12.noisedemo.tmp");
}

TEST(TemporaryNames, OnlyFilesOfProcessesThatAreGoneAreRemoved) {
  // A process that has surely ended: a child that was reaped.
  const pid_t child = fork();
  if (child == 0) _exit(0);
  ASSERT_GT(child, 0);
  ASSERT_EQ(waitpid(child, nullptr, 0), child);
  const std::string dead = std::to_string(child);
  const std::string live = std::to_string(getppid());
  const std::string tail = "-0.noisedemo.tmp";

  ScratchDir dir;
  const std::vector<std::string> kept = {
      ".noise001N.stl." + live + tail,                          // its writer is at work
      ".noise001N.stl." + std::to_string(getpid()) + tail,      // ours
      ".noise001N.stl." + dead + tail + ".keep",                // not our name
      ".noise001N.stl." + dead + "-0.tmp",                      // nor this
      "noise001N.stl." + dead + tail};
  for (const std::string& name : kept) WriteFile(dir / name, "x");
  // A dead writer's files go, whatever file they were for.
  WriteFile(dir / (".noise001N.stl." + dead + tail), "half");
  WriteFile(dir / (".image002NG.png." + dead + "-12.noisedemo.tmp"), "half");

  EXPECT_EQ(RemoveStaleTemporaryFiles(dir.path() + "/"), 2);
  std::vector<std::string> expected = kept;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.Entries(), expected);

  // Creating any file in the folder cleans up the same way.
  WriteFile(dir / (".noise001N.stl." + dead + "-5.noisedemo.tmp"), "half");
  AtomicFile file(dir / "other.bmp");
  ASSERT_TRUE(file.Create());
  ASSERT_TRUE(file.Commit());
  expected.push_back("other.bmp");
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(dir.Entries(), expected);
}

// ---------------------------------------------------------------------------
// Where the bytes go: links, FIFOs, long names
// ---------------------------------------------------------------------------

TEST(AtomicFile, ALinkStaysAndItsFinalTargetIsReplacedInItsOwnFolder) {
  ScratchDir dir;
  ASSERT_EQ(mkdir((dir / "real").c_str(), 0755), 0);
  WriteFile(dir / "real/target.png", "stale");
  ASSERT_EQ(symlink("real/target.png", (dir / "link.png").c_str()), 0);
  ASSERT_EQ(symlink("link.png", (dir / "chain.png").c_str()), 0);      // a link to a link
  ASSERT_EQ(symlink("real/new.png", (dir / "dangling.png").c_str()), 0);
  ASSERT_EQ(symlink("loop.png", (dir / "loop.png").c_str()), 0);

  for (const char* name : {"link.png", "chain.png"}) {
    AtomicFile file(dir / name);
    ASSERT_TRUE(file.Create()) << name;
    EXPECT_FALSE(file.in_place());
    EXPECT_EQ(FolderPrefix(file.temporary()), dir.path() + "/real/") << name;
    ASSERT_TRUE(file.Write(name, strlen(name)));
    ASSERT_TRUE(file.Commit());
    EXPECT_EQ(ReadFile(dir / "real/target.png"), name);
  }
  AtomicFile fresh(dir / "dangling.png");
  ASSERT_TRUE(fresh.Create());
  ASSERT_TRUE(fresh.Write("new", 3));
  ASSERT_TRUE(fresh.Commit());
  EXPECT_EQ(ReadFile(dir / "real/new.png"), "new");

  AtomicFile looped(dir / "loop.png");
  EXPECT_FALSE(looped.Create());
  EXPECT_EQ(looped.error(), ELOOP);

  struct stat st;
  for (const char* link : {"link.png", "chain.png", "dangling.png", "loop.png"}) {
    ASSERT_EQ(lstat((dir / link).c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
  }
  EXPECT_EQ(dir.Entries(),
            (std::vector<std::string>{"chain.png", "dangling.png", "link.png", "loop.png", "real"}));
}

TEST(AtomicFile, AFifoIsWrittenInPlace) {
  ScratchDir dir;
  const std::string fifo = dir / "pipe.bmp";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // The reader first, so that opening for writing does not wait.
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  AtomicFile file(fifo);
  ASSERT_TRUE(file.Create());
  EXPECT_TRUE(file.in_place());
  EXPECT_TRUE(file.temporary().empty());
  ASSERT_TRUE(file.Write("through", 7));
  ASSERT_TRUE(file.Commit());
  char got[16] = {};
  EXPECT_EQ(read(reader, got, sizeof got), 7);
  close(reader);
  EXPECT_STREQ(got, "through");
  struct stat st;
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"pipe.bmp"});
}

TEST(AtomicFile, EveryNameTheFolderTakesWorks) {
  ScratchDir dir;
  for (size_t length : {size_t{230}, size_t{243}, size_t{250}, size_t{255}}) {
    const std::string name(length, 'x');
    AtomicFile file(dir / name);
    ASSERT_TRUE(file.Create()) << length << ": " << FailureReason(file.error());
    ASSERT_TRUE(file.Write("ok", 2));
    ASSERT_TRUE(file.Commit()) << length;
    EXPECT_EQ(ReadFile(dir / name), "ok");
    ASSERT_EQ(unlink((dir / name).c_str()), 0);
  }
  AtomicFile tooLong(dir / std::string(256, 'x'));
  EXPECT_FALSE(tooLong.Create());
  EXPECT_EQ(tooLong.error(), ENAMETOOLONG);
  EXPECT_TRUE(dir.Entries().empty());
}

// A path as long as the system takes (PATH_MAX - 1 bytes), whose temporary
// file's whole path would be longer: it is written, and while it is open a
// signal's clean-up still reaches its temporary file.
TEST(AtomicFile, EveryPathTheSystemTakesWorks) {
  ScratchDir dir;
  std::string folder = dir.path();
  // Folders of up to 250 bytes, then a 200-byte name, to PATH_MAX - 1.
  const size_t leafLength = 200;
  while (folder.size() + 1 + leafLength < PATH_MAX - 1) {
    const size_t rest = PATH_MAX - 1 - folder.size() - 1 - leafLength - 1;
    folder += "/" + std::string(std::min<size_t>(250, rest), 'd');
    ASSERT_EQ(mkdir(folder.c_str(), 0755), 0) << folder.size();
  }
  const std::string target = folder + "/" + std::string(leafLength, 'f');
  ASSERT_EQ(target.size(), size_t{PATH_MAX - 1});
  const std::string leaf = target.substr(folder.size() + 1);
  auto entries = [&] {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    return names;
  };
  {
    AtomicFile file(target);
    ASSERT_TRUE(file.Create()) << FailureReason(file.error());
    EXPECT_GT(file.temporary().size(), size_t{PATH_MAX});
    ASSERT_TRUE(file.Write("ok", 2));
    ASSERT_TRUE(file.Commit());
  }
  EXPECT_EQ(ReadFile(target), "ok");
  EXPECT_EQ(entries(), std::vector<std::string>{leaf});

  AtomicFile open(target);
  ASSERT_TRUE(open.Create());
  EXPECT_EQ(entries().size(), 2u);
  RemoveOpenTemporaryFiles();
  EXPECT_EQ(entries(), std::vector<std::string>{leaf});
  EXPECT_EQ(ReadFile(target), "ok");
  ASSERT_EQ(unlink(target.c_str()), 0);
}

// What messages echo: control characters escaped, everything else as typed.
TEST(Printable, ControlCharactersEscapedTextKept) {
  EXPECT_EQ(Printable("noise001N.stl"), "noise001N.stl");
  EXPECT_EQ(Printable("a\\b 'c' \xc3\xa9\xe2\x82\xac\xf0\x9f\x8e\xb2"),
            "a\\b 'c' \xc3\xa9\xe2\x82\xac\xf0\x9f\x8e\xb2");  // é € 🎲
  EXPECT_EQ(Printable("a\rb\nc\td\x1b[31me\x7f"), "a\\rb\\nc\\td\\x1b[31me\\x7f");
  EXPECT_EQ(Printable(std::string("\0x", 2)), "\\x00x");
  // A C1 control (CSI, U+009B), a lone continuation byte, a cut sequence, an
  // overlong form and a surrogate: each byte escaped.
  EXPECT_EQ(Printable("\xc2\x9b" "2J"), "\\xc2\\x9b2J");
  EXPECT_EQ(Printable("\x9b"), "\\x9b");
  EXPECT_EQ(Printable("\xe2\x82"), "\\xe2\\x82");
  EXPECT_EQ(Printable("\xc0\xaf"), "\\xc0\\xaf");
  EXPECT_EQ(Printable("\xed\xa0\x80"), "\\xed\\xa0\\x80");
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
