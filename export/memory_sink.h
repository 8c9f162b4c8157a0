// Bytes kept in memory, for a file that is handed over whole rather than
// written to a path: the browser's downloads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "export/byte_sink.h"

class MemorySink : public ByteSink {
 public:
  bool Write(const void* data, size_t size) override {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), bytes, bytes + size);
    return true;
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }
  // Hands the bytes over without a copy (an ASCII STL is 20 MB) and leaves
  // the sink empty.
  std::vector<uint8_t> Take() { return std::move(bytes_); }

 private:
  std::vector<uint8_t> bytes_;
};
