// Where the file-format cores write their bytes.
//
// The BMP and STL cores know nothing of files: they write to a ByteSink, and
// every write says whether it went through. Once a write has failed, a sink
// stays failed, so a core may stop at the first false or carry on and check
// at the end; either way nothing can be reported as written that was not.
#pragma once

#include <cstddef>

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Appends size bytes. False if these or any earlier bytes were not taken.
  virtual bool Write(const void* data, size_t size) = 0;
  // Why the first failed write failed, as an errno value; 0 if none failed or
  // the sink cannot tell.
  virtual int error() const { return 0; }
};
