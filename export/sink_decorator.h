// The seam where tests put a failing sink between a format core and the file
// it writes.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "export/atomic_file.h"
#include "export/byte_sink.h"

// Given the sink of the file being written, returns a sink to write through
// instead (one that fails after N bytes, say), or null to write directly.
using SinkDecorator = std::function<std::unique_ptr<ByteSink>(ByteSink& file)>;

// The sink a core writes to: the decorator's, if it gives one, else the file.
class DecoratedSink {
 public:
  DecoratedSink(ByteSink& file, const SinkDecorator& decorate)
      : own_(decorate ? decorate(file) : nullptr), sink_(own_ ? *own_ : file) {}
  ByteSink& get() { return sink_; }
  // Why writing failed: the decorator's reason if it has one, else the file's.
  int error(const ByteSink& file) const { return sink_.error() != 0 ? sink_.error() : file.error(); }

 private:
  std::unique_ptr<ByteSink> own_;
  ByteSink& sink_;
};
