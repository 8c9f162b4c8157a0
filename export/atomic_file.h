// A file that appears under its name only when it is complete.
//
// The bytes go to a temporary file beside the target (same folder, so the
// final rename never crosses file systems). Commit flushes, syncs and closes
// it and renames it over the target; any failure on the way removes the
// temporary file and leaves whatever was at the target untouched. A failed
// export therefore never leaves a partial file and never destroys the file a
// previous export wrote.
//
// Where the bytes go depends on what stands at the name:
// - a symbolic link is followed to its final target, which is replaced as
//   above (beside it, in its own folder) while the link stays;
// - a device, a FIFO or a socket is not a file to replace: it is opened and
//   written in place, with no temporary file and no rename, so /dev/null
//   takes the bytes and /dev/full reports that it is full;
// - "-" is standard output, written in place the same way.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>

#include "export/byte_sink.h"

class AtomicFile : public ByteSink {
 public:
  // `target` as the user named it; "-" means standard output.
  explicit AtomicFile(std::string target);
  ~AtomicFile() override;  // removes the temporary file unless committed
  AtomicFile(const AtomicFile&) = delete;
  AtomicFile& operator=(const AtomicFile&) = delete;

  // Creates the temporary file (or opens the device, FIFO or standard output
  // to write in place). False, with nothing created, when the target could
  // not be written: a folder stands at its name, an existing file there is
  // not writable, its name is too long, or the folder does not take new files.
  bool Create();

  // Buffered; false once any write to the temporary file has failed.
  bool Write(const void* data, size_t size) override;

  // Flushes, syncs and closes the temporary file and renames it over the
  // target. False, with the temporary file removed, if any step fails or an
  // earlier write did. Written in place: flushes and closes, false if either
  // fails.
  bool Commit();

  const std::string& target() const { return target_; }
  // The errno of the first call that failed, or 0 if none did.
  int error() const override { return error_; }
  const std::string& temporary() const { return temp_; }
  // Whether the bytes go straight to the target (a device, a FIFO, "-").
  bool in_place() const { return inPlace_; }

 private:
  bool FlushBuffer();
  bool Fail(int error);  // records the first error; returns false
  void Discard();
  void CloseFolder();

  std::string target_;
  // The folder the target lands in (links followed), open while the
  // temporary file is, and the two names in it: the target's, which the
  // temporary file is renamed to, and the temporary file's.
  int folder_ = -1;
  std::string place_;
  std::string tempName_;
  std::string temp_;  // the temporary file's whole path, for messages and tests
  int fd_ = -1;
  bool inPlace_ = false;
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
// call from a signal handler or an X error handler: it only calls
// unlinkat(2) on folder descriptors and names kept in fixed buffers while the
// files are open.
void RemoveOpenTemporaryFiles();

// Our temporary name for `target` in its folder, for process `pid` and
// counter `counter`: "." base "." pid "-" counter ".noisedemo.tmp", with the
// base name cut short (never inside a UTF-8 character) so that the whole
// name has at most `nameMax` bytes.
std::string TemporaryName(const std::string& target, long pid, unsigned counter,
                          size_t nameMax);

// Whether `name` (a bare file name) is one of our temporary names, whatever
// target it was for: "." something "." pid "-" counter ".noisedemo.tmp",
// pid and counter in decimal digits. The pid goes to *pid when it is.
bool IsTemporaryName(const std::string& name, long* pid);

// Removes the temporary files that processes which no longer exist left in
// the folder `folderPrefix` ("" for the current one, else ending in '/'):
// a writer killed mid-write, say. Files of live processes and every other
// name are left alone. Returns how many it removed.
int RemoveStaleTemporaryFiles(const std::string& folderPrefix);

// The path a write to `path` lands on: the final target of a chain of
// symbolic links to a regular file (also one that does not exist yet), else
// `path` itself.
// False, with errno set, for a loop of links or an unreadable one.
bool FollowLinks(const std::string& path, std::string* final);

// The folder part of a path, as a prefix to put a sibling name after: "" for
// a bare name, "dir/" for "dir/name", "/" for "/name".
std::string FolderPrefix(const std::string& path);
