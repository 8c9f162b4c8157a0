// Helpers for the export tests: a scratch folder, a message stream to read
// back, and a sink that fails part-way as a full disk would.
#pragma once

#include <cerrno>

#include <gtest/gtest.h>
#include <sys/stat.h>

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
#include "export/sink_decorator.h"

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

inline SinkDecorator FailAfter(size_t limit) {
  return [limit](ByteSink& file) { return std::make_unique<FailAfterSink>(file, limit); };
}

inline int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) n++;
  return n;
}
