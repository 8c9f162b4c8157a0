#include "export/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr int kNameAttempts = 100;

// Names taken by this process so far; with the process id this makes a clash
// with another writer unlikely, and O_EXCL makes one harmless.
unsigned TempCounter = 0;

std::string BaseName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The temporary paths of the files open now, where a signal handler can
// reach them without allocating or locking: a path is copied in before its
// slot is marked used, and the slot is freed only after the file is renamed
// or removed. A path too long for a slot is simply not cleaned up by a signal.
constexpr int kOpenSlots = 4;
constexpr size_t kSlotPathSize = 4096;
struct OpenSlot {
  volatile sig_atomic_t used;
  char path[kSlotPathSize];
};
OpenSlot OpenSlots[kOpenSlots];

int RegisterOpenFile(const std::string& path) {
  if (path.size() >= kSlotPathSize) return -1;
  for (int i = 0; i < kOpenSlots; i++) {
    if (OpenSlots[i].used) continue;
    memcpy(OpenSlots[i].path, path.c_str(), path.size() + 1);
    std::atomic_signal_fence(std::memory_order_seq_cst);
    OpenSlots[i].used = 1;
    return i;
  }
  return -1;
}

void ReleaseOpenFile(int slot) {
  if (slot < 0) return;
  std::atomic_signal_fence(std::memory_order_seq_cst);
  OpenSlots[slot].used = 0;
}

// A run of decimal digits as our names write a number: no sign, no leading
// zero (except "0" itself), at most `limit`. False for anything else.
bool ParseDecimal(const std::string& text, long limit, long* value) {
  if (text.empty() || text.size() > 10) return false;
  if (text.size() > 1 && text[0] == '0') return false;
  long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  if (v > limit) return false;
  *value = v;
  return true;
}

// write(2) until everything is out or a real error occurs.
bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) {
      errno = EIO;  // nothing taken and no error: say it as the system would
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

std::string FailureReason(int error) {
  if (error == 0) return "the data could not be written";
  return strerror(error);
}

void PrintFailureReason(FILE* messages, int error) {
  fprintf(messages, "  %s\n", FailureReason(error).c_str());
}

void RemoveOpenTemporaryFiles() {
  for (OpenSlot& slot : OpenSlots) {
    if (slot.used) unlink(slot.path);
  }
}

bool IsTemporaryNameOf(const std::string& name, const std::string& base, long* pid) {
  const std::string head = "." + base + ".";
  const std::string tail = ".tmp";
  if (name.size() <= head.size() + tail.size()) return false;
  if (name.compare(0, head.size(), head) != 0) return false;
  if (name.compare(name.size() - tail.size(), tail.size(), tail) != 0) return false;
  const std::string middle = name.substr(head.size(), name.size() - head.size() - tail.size());
  const size_t dash = middle.find('-');
  if (dash == std::string::npos) return false;
  long process = 0;
  long counter = 0;
  if (!ParseDecimal(middle.substr(0, dash), INT_MAX, &process) || process <= 0) return false;
  if (!ParseDecimal(middle.substr(dash + 1), UINT_MAX, &counter)) return false;
  *pid = process;
  return true;
}

int RemoveStaleTemporaryFiles(const std::string& target) {
  const std::string folder = FolderPrefix(target);
  const std::string base = BaseName(target);
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return 0;
  std::vector<std::string> stale;
  while (const dirent* entry = readdir(dir)) {
    long pid = 0;
    if (!IsTemporaryNameOf(entry->d_name, base, &pid)) continue;
    // Only a process that is gone: kill(pid, 0) also fails with EPERM for a
    // live process of another user, whose file is not ours to take.
    if (pid == static_cast<long>(getpid())) continue;
    if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    stale.push_back(folder + entry->d_name);
  }
  closedir(dir);
  int removed = 0;
  for (const std::string& path : stale) removed += unlink(path.c_str()) == 0;
  return removed;
}

std::string FolderPrefix(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Create() {
  // What opening the target for writing would have refused, refuse here too,
  // before anything is written: a folder at the name, or an existing file we
  // may not write.
  struct stat existing;
  const bool exists = stat(target_.c_str(), &existing) == 0;
  if (exists) {
    if (S_ISDIR(existing.st_mode)) return Fail(EISDIR);
    if (access(target_.c_str(), W_OK) != 0) return Fail(errno);
  }

  // A writer killed mid-write (SIGKILL, a power cut) could not clean up.
  RemoveStaleTemporaryFiles(target_);

  const std::string stem = FolderPrefix(target_) + "." + BaseName(target_) + "." +
                           std::to_string(static_cast<long>(getpid())) + "-";
  for (int attempt = 0; attempt < kNameAttempts; attempt++) {
    std::string name = stem + std::to_string(TempCounter++) + ".tmp";
    // 0666 so that the umask decides, as it would for a file fopen creates.
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      temp_ = std::move(name);
      slot_ = RegisterOpenFile(temp_);
      failed_ = false;
      buffer_.clear();
      buffer_.reserve(kBufferSize);
      // Replacing a file keeps its permissions, as rewriting it in place would.
      if (exists && S_ISREG(existing.st_mode)) fchmod(fd_, existing.st_mode & 07777);
      return true;
    }
    if (errno != EEXIST) return Fail(errno);
  }
  return Fail(EEXIST);
}

bool AtomicFile::FlushBuffer() {
  if (buffer_.empty()) return !failed_;
  if (!failed_ && !WriteAll(fd_, buffer_.data(), buffer_.size())) Fail(errno);
  buffer_.clear();
  return !failed_;
}

bool AtomicFile::Write(const void* data, size_t size) {
  if (failed_ || fd_ < 0) return false;
  if (buffer_.size() + size > kBufferSize) {
    if (!FlushBuffer()) return false;
    if (size >= kBufferSize) {
      if (!WriteAll(fd_, static_cast<const char*>(data), size)) Fail(errno);
      return !failed_;
    }
  }
  buffer_.append(static_cast<const char*>(data), size);
  return true;
}

bool AtomicFile::Commit() {
  if (fd_ < 0) return false;
  bool ok = FlushBuffer();
  // The sync makes the rename publish bytes that are on the disk, so even a
  // crash right after it cannot leave an empty file under the target's name.
  if (ok && fsync(fd_) != 0) ok = Fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 && ok) ok = Fail(errno);
  if (ok && rename(temp_.c_str(), target_.c_str()) != 0) ok = Fail(errno);
  if (ok) {
    temp_.clear();
    ReleaseOpenFile(slot_);
    slot_ = -1;
    return true;
  }
  Discard();
  return false;
}

bool AtomicFile::Fail(int error) {
  if (error_ == 0) error_ = error;
  failed_ = true;
  return false;
}

void AtomicFile::Discard() {
  if (fd_ >= 0) {
    close(fd_);
    fd_ = -1;
  }
  if (!temp_.empty()) {
    unlink(temp_.c_str());
    temp_.clear();
  }
  // Only now: a signal in between would remove the same path once more.
  ReleaseOpenFile(slot_);
  slot_ = -1;
  failed_ = true;
}
