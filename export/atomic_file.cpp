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
#include <cstdlib>
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

// The temporary files open now, where a signal handler can reach them
// without allocating or locking: each by its folder's descriptor and its bare
// name, which is never longer than a file name can be, so no path has to be
// built and none can be too long. The name is copied in before its slot is
// marked used, and the slot is freed only after the file is renamed or
// removed.
constexpr int kOpenSlots = 4;
constexpr size_t kSlotNameSize = NAME_MAX + 1;
struct OpenSlot {
  volatile sig_atomic_t used;
  int folder;
  char name[kSlotNameSize];
};
OpenSlot OpenSlots[kOpenSlots];

int RegisterOpenFile(int folder, const std::string& name) {
  if (name.size() >= kSlotNameSize) return -1;
  for (int i = 0; i < kOpenSlots; i++) {
    if (OpenSlots[i].used) continue;
    OpenSlots[i].folder = folder;
    memcpy(OpenSlots[i].name, name.c_str(), name.size() + 1);
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

// A folder as a descriptor for the *at calls. O_PATH needs no permission to
// read the folder, only to pass through it, as creating a file by its path
// would.
int OpenFolder(const std::string& folderPrefix) {
#if defined(O_PATH) && !defined(__EMSCRIPTEN__)  // its file system has no O_PATH
  const int flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
  const int flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif
  return open(folderPrefix.empty() ? "." : folderPrefix.c_str(), flags);
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
    if (slot.used) unlinkat(slot.folder, slot.name, 0);
  }
}

namespace {

constexpr char kTemporaryTail[] = ".noisedemo.tmp";

// The longest file name the folder takes; 255 where it cannot say.
size_t NameMax(const std::string& folderPrefix) {
  const long max = pathconf(folderPrefix.empty() ? "." : folderPrefix.c_str(), _PC_NAME_MAX);
  return max > 0 ? static_cast<size_t>(max) : 255;
}

}  // namespace

std::string TemporaryName(const std::string& target, long pid, unsigned counter,
                          size_t nameMax) {
  const std::string tail =
      "." + std::to_string(pid) + "-" + std::to_string(counter) + kTemporaryTail;
  std::string base = BaseName(target);
  // A name near the limit must still be writable: the temporary name gives
  // way, not the user's. At least one byte of the base stays, so that the
  // name is recognisably ours.
  size_t room = nameMax > tail.size() + 2 ? nameMax - tail.size() - 1 : 1;
  if (base.size() > room) {
    while (room > 1 && (static_cast<unsigned char>(base[room]) & 0xC0) == 0x80) room--;
    base.resize(room);
  }
  return FolderPrefix(target) + "." + base + tail;
}

bool IsTemporaryName(const std::string& name, long* pid) {
  const std::string tail = kTemporaryTail;
  if (name.size() <= 1 + tail.size() || name[0] != '.') return false;
  if (name.compare(name.size() - tail.size(), tail.size(), tail) != 0) return false;
  const std::string rest = name.substr(1, name.size() - 1 - tail.size());
  const size_t dot = rest.find_last_of('.');
  if (dot == std::string::npos || dot == 0) return false;  // the base is never empty
  const std::string middle = rest.substr(dot + 1);
  const size_t dash = middle.find('-');
  if (dash == std::string::npos) return false;
  long process = 0;
  long counter = 0;
  if (!ParseDecimal(middle.substr(0, dash), INT_MAX, &process) || process <= 0) return false;
  if (!ParseDecimal(middle.substr(dash + 1), UINT_MAX, &counter)) return false;
  *pid = process;
  return true;
}

namespace {

// The stale files of `folder` (a descriptor), by their bare names: a folder
// whose path is near the limit has room for no longer path.
int RemoveStaleTemporaryFilesAt(int folder) {
  const int listing = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return 0;
  DIR* dir = fdopendir(listing);
  if (dir == nullptr) {
    close(listing);
    return 0;
  }
  std::vector<std::string> stale;
  while (const dirent* entry = readdir(dir)) {
    long pid = 0;
    if (!IsTemporaryName(entry->d_name, &pid)) continue;
    // Only a process that is gone: kill(pid, 0) also fails with EPERM for a
    // live process of another user, whose file is not ours to take.
    if (pid == static_cast<long>(getpid())) continue;
    if (kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH) continue;
    stale.push_back(entry->d_name);
  }
  closedir(dir);
  int removed = 0;
  for (const std::string& name : stale) removed += unlinkat(folder, name.c_str(), 0) == 0;
  return removed;
}

}  // namespace

int RemoveStaleTemporaryFiles(const std::string& folderPrefix) {
  const int folder = OpenFolder(folderPrefix);
  if (folder < 0) return 0;
  const int removed = RemoveStaleTemporaryFilesAt(folder);
  close(folder);
  return removed;
}

std::string FolderPrefix(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool FollowLinks(const std::string& path, std::string* final) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
    *final = path;
    return true;
  }
  if (stat(path.c_str(), &st) == 0) {
    // Not a file to replace (/dev/stdout on a pipe, say): opening the link
    // reaches it, though its name may be no path at all ("pipe:[1234]").
    if (!S_ISREG(st.st_mode)) {
      *final = path;
      return true;
    }
    // A file: the system knows the whole chain, /proc's links to open files
    // included.
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) return false;
    *final = real;
    free(real);
    return true;
  }
  if (errno != ENOENT) return false;
  // A dangling link: the file is to be made where its last link points.
  std::string at = path;
  for (int hop = 0; hop < 40; hop++) {
    if (lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *final = at;
      return true;
    }
    std::vector<char> text(PATH_MAX);
    const ssize_t n = readlink(at.c_str(), text.data(), text.size());
    if (n < 0) return false;
    const std::string next(text.data(), static_cast<size_t>(n));
    at = !next.empty() && next[0] == '/' ? next : FolderPrefix(at) + next;
  }
  errno = ELOOP;
  return false;
}

AtomicFile::AtomicFile(std::string target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { Discard(); }

bool AtomicFile::Create() {
  buffer_.clear();
  buffer_.reserve(kBufferSize);
  failed_ = false;
  if (target_ == "-") {
    // A copy of standard output, so that closing the file leaves it open.
    fd_ = fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3);
    if (fd_ < 0) return Fail(errno);
    inPlace_ = true;
    return true;
  }

  std::string place;
  if (!FollowLinks(target_, &place)) return Fail(errno);
  // What opening the target for writing would have refused, refuse here too,
  // before anything is written: a folder at the name, or an existing file we
  // may not write.
  struct stat existing;
  const bool exists = stat(place.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) return Fail(errno);
  if (exists && S_ISDIR(existing.st_mode)) return Fail(EISDIR);
  if (exists && !S_ISREG(existing.st_mode)) {
    // A device, a FIFO, a socket: nothing to replace, the bytes go in. A FIFO
    // waits here for its reader, as a shell's redirection would.
    fd_ = open(place.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) return Fail(errno);
    inPlace_ = true;
    return true;
  }
  if (exists && access(place.c_str(), W_OK) != 0) return Fail(errno);
  const std::string folder = FolderPrefix(place);
  const size_t nameMax = NameMax(folder);
  if (BaseName(place).size() > nameMax) return Fail(ENAMETOOLONG);
  // The temporary file is made, renamed and removed by its folder's
  // descriptor and its bare name: a target whose path is as long as the
  // system takes must not fail because the temporary name is longer.
  folder_ = OpenFolder(folder);
  if (folder_ < 0) return Fail(errno);

  // A writer killed mid-write (SIGKILL, a power cut) could not clean up.
  RemoveStaleTemporaryFilesAt(folder_);

  for (int attempt = 0; attempt < kNameAttempts; attempt++) {
    std::string path = TemporaryName(place, static_cast<long>(getpid()), TempCounter++, nameMax);
    std::string name = BaseName(path);
    // Known to the signal handler before the file exists: a signal between
    // the two would otherwise leave it behind. The name holds our process id,
    // so removing it early, before it is made, touches no one else's file.
    const int slot = RegisterOpenFile(folder_, name);
    // 0666 so that the umask decides, as it would for a file fopen creates.
    const int fd = openat(folder_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      place_ = BaseName(place);
      temp_ = std::move(path);
      tempName_ = std::move(name);
      slot_ = slot;
      // Replacing a file keeps its permissions, as rewriting it in place would.
      if (exists) fchmod(fd_, existing.st_mode & 07777);
      return true;
    }
    const int openError = errno;
    ReleaseOpenFile(slot);
    errno = openError;
    if (errno != EEXIST) {
      const int error = errno;
      CloseFolder();
      return Fail(error);
    }
  }
  CloseFolder();
  return Fail(EEXIST);
}

void AtomicFile::CloseFolder() {
  if (folder_ >= 0) close(folder_);
  folder_ = -1;
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
  if (inPlace_) {
    // No sync: a pipe or a device has nothing to sync, and says so (EINVAL).
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0 && ok) ok = Fail(errno);
    if (!ok) failed_ = true;
    return ok;
  }
  // The sync makes the rename publish bytes that are on the disk, so even a
  // crash right after it cannot leave an empty file under the target's name.
  if (ok && fsync(fd_) != 0) ok = Fail(errno);
  const int fd = fd_;
  fd_ = -1;
  if (close(fd) != 0 && ok) ok = Fail(errno);
  if (ok && renameat(folder_, tempName_.c_str(), folder_, place_.c_str()) != 0) ok = Fail(errno);
  if (ok) {
    temp_.clear();
    tempName_.clear();
    ReleaseOpenFile(slot_);
    slot_ = -1;
    CloseFolder();
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
  if (!tempName_.empty()) {
    unlinkat(folder_, tempName_.c_str(), 0);
    temp_.clear();
    tempName_.clear();
  }
  // Only now: a signal in between would remove the same name once more.
  ReleaseOpenFile(slot_);
  slot_ = -1;
  CloseFolder();
  failed_ = true;
}
