// A file that appears under its name only when it is complete.
//
// The bytes go to a temporary file beside the target (same folder, so the
// final rename never crosses file systems). Commit flushes, syncs and closes
// it and renames it over the target; any failure on the way removes the
// temporary file and leaves whatever was at the target untouched. A failed
// export therefore never leaves a partial file and never destroys the file a
// previous export wrote.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "export/byte_sink.h"

class AtomicFile : public ByteSink {
 public:
  explicit AtomicFile(std::string target);
  ~AtomicFile() override;  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file. False, with nothing created, when the target
  // could not be written as a file: a folder stands at its name, an existing
  // file there is not writable, or the folder does not take new files.
  bool Create();

  // Buffered; false once any write to the temporary file has failed.
  bool Write(const void* data, size_t size) override;

  // Flushes, syncs and closes the temporary file and renames it over the
  // target. False, with the temporary file removed, if any step fails or an
  // earlier write did.
  bool Commit();

  const std::string& target() const { return target_; }
  // The errno of the first call that failed, or 0 if none did.
  int error() const override { return error_; }
  const std::string& temporary() const { return temp_; }

 private:
  bool FlushBuffer();
  bool Fail(int error);  // records the first error; returns false
  void Discard();

  std::string target_;
  std::string temp_;
  int fd_ = -1;
  int slot_ = -1;  // where RemoveOpenTemporaryFiles finds temp_, or -1
  bool failed_ = false;
  int error_ = 0;
  std::string buffer_;
};

// Why a file could not be written, for the line under a failure message: the
// system's text for errno `error`, or a plain statement when it gave none.
std::string FailureReason(int error);

// That reason on its own line, indented under the failure message.
void PrintFailureReason(FILE* messages, int error);

// The temporary files of the exports still open, removed at once. Safe to
// call from a signal handler or an X error handler: it only calls unlink(2)
// on paths kept in fixed buffers while the files are open.
void RemoveOpenTemporaryFiles();

// Whether `name` (a bare file name) is one of our temporary names for the
// target base name `base`: "." base "." pid "-" counter ".tmp", pid and
// counter in decimal digits. The pid goes to *pid when it is.
bool IsTemporaryNameOf(const std::string& name, const std::string& base, long* pid);

// Removes the temporary files for `target` that a process which no longer
// exists left beside it (it was killed mid-write, say). Files of live
// processes and every other name are left alone. Returns how many it removed.
int RemoveStaleTemporaryFiles(const std::string& target);

// The folder part of a path, as a prefix to put a sibling name after: "" for
// a bare name, "dir/" for "dir/name", "/" for "/name".
std::string FolderPrefix(const std::string& path);
