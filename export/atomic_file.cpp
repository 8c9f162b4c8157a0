#include "export/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

  const std::string stem = FolderPrefix(target_) + "." + BaseName(target_) + "." +
                           std::to_string(static_cast<long>(getpid())) + "-";
  for (int attempt = 0; attempt < kNameAttempts; attempt++) {
    std::string name = stem + std::to_string(TempCounter++) + ".tmp";
    // 0666 so that the umask decides, as it would for a file fopen creates.
    const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      fd_ = fd;
      temp_ = std::move(name);
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
  failed_ = true;
}
