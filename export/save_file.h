// Putting a file in place through AtomicFile, with the messages every export
// prints when it cannot.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

#include "export/byte_sink.h"

// Creates fileName's temporary file, calls `created` (for a message that
// belongs after a successful creation), has `write` produce the bytes, and
// puts the file in place. On failure prints "Cannot create KIND file '%s'"
// or "Cannot write KIND file '%s'" on messages with the reason on the next
// line, and leaves any earlier file of that name as it was. True when the
// file was written; the success message is the caller's.
bool SaveFile(const std::string& fileName, const char* kind, FILE* messages,
              const std::function<bool(ByteSink&)>& write,
              const std::function<void()>& created = nullptr);
