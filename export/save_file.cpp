#include "export/save_file.h"

#include "export/atomic_file.h"
#include "export/printable.h"

bool SaveFile(const std::string& fileName, const char* kind, FILE* messages,
              const std::function<bool(ByteSink&)>& write,
              const std::function<void()>& created) {
  AtomicFile file(fileName);
  if (!file.Create()) {
    fprintf(messages, "Cannot create %s file '%s'\n", kind, Printable(fileName).c_str());
    PrintFailureReason(messages, file.error());
    return false;
  }
  if (created) created();
  bool ok;
  int writeError = 0;
  ok = write(file);
  if (!ok) writeError = file.error();
  ok = ok && file.Commit();
  if (!ok) {
    if (writeError == 0) writeError = file.error();
    fprintf(messages, "Cannot write %s file '%s'\n", kind, Printable(fileName).c_str());
    PrintFailureReason(messages, writeError);
  }
  return ok;
}
