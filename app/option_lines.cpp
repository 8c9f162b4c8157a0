// The browser page's settings, one option a line, read as a command line.
#include <string>
#include <vector>

#include "app/command_line.h"

StartMode ParseOptionLines(const std::string& lines, StartOptions* options, std::string* error) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start < lines.size()) {
    size_t end = lines.find('\n', start);
    if (end == std::string::npos) end = lines.size();
    words.push_back(lines.substr(start, end - start));
    start = end + 1;
  }
  std::vector<const char*> argv = {"noisedemo"};
  for (const std::string& word : words) argv.push_back(word.c_str());
  return ParseCommandLine(static_cast<int>(argv.size()), argv.data(), options, error);
}
