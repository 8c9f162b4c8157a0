// Helpers for the export tests: a scratch folder, a message stream to read
// back, and a sink that fails part-way as a full disk would.
#pragma once

#include <cerrno>

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "export/byte_sink.h"

// A fresh folder under /tmp, removed with everything in it afterwards.
class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/noisedemo-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    path_ = made ? made : "";
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }
  const std::string& path() const { return path_; }

  // Every entry of the folder, hidden ones included, sorted.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
}

// A FILE* whose text the test can read: where the exports' messages go.
class MessageCapture {
 public:
  MessageCapture() : file_(open_memstream(&data_, &size_)) {}
  ~MessageCapture() {
    fclose(file_);
    free(data_);
  }
  FILE* file() { return file_; }
  std::string Text() {
    fflush(file_);
    return std::string(data_, size_);
  }

 private:
  char* data_ = nullptr;
  size_t size_ = 0;
  FILE* file_;
};

// Passes the first `limit` bytes on to the real sink, then refuses, as a disk
// that fills up part-way through a file.
class FailAfterSink : public ByteSink {
 public:
  FailAfterSink(ByteSink& inner, size_t limit) : inner_(inner), left_(limit) {}
  bool Write(const void* data, size_t size) override {
    if (failed_) return false;
    const size_t taken = std::min(size, left_);
    if (taken > 0 && !inner_.Write(data, taken)) failed_ = true;
    left_ -= taken;
    if (taken < size) failed_ = true;
    return !failed_;
  }
  // As a full disk would say it.
  int error() const override { return failed_ ? ENOSPC : 0; }

 private:
  ByteSink& inner_;
  size_t left_;
  bool failed_ = false;
};

// Collects everything in memory; never fails.
class StringSink : public ByteSink {
 public:
  bool Write(const void* data, size_t size) override {
    text.append(static_cast<const char*>(data), size);
    return true;
  }
  std::string text;
};

// While it lives, no file of this process may grow past `limit` bytes: a
// write beyond fails with EFBIG ("File too large"), as a disk that fills up
// part-way through a file would fail one. The failure comes from the system,
// under the real file, so the code that saves files carries no hook for it.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(size_t limit) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    // Without this, the write past the limit would end the process.
    previousHandler_ = signal(SIGXFSZ, SIG_IGN);
    struct rlimit lower = previous_;
    lower.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &lower);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  struct rlimit previous_;
  void (*previousHandler_)(int);
};

inline int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}
