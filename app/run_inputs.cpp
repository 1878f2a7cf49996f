#include "app/run_inputs.h"

#include "app/record_finder.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace segd::app {

namespace {

std::string Normalised(const std::string& path) {
  std::error_code ec;
  std::string text = std::filesystem::absolute(path, ec).lexically_normal().string();
#ifdef _WIN32
  // Names differ in case only on other systems.
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c == '/' ? '\\' : c;
#endif
  return text;
}

}  // namespace

void RunInputs::Add(const std::string& path) {
  if (path == "-") return;
  paths_.insert(Normalised(path));
#ifndef _WIN32
  // The file itself and, for a link, the link's entry. A terminal, pipe or
  // device is written in place, never replaced, so reading one does not
  // forbid writing it (--files-from /dev/stdin --summary /dev/stdout).
  struct stat entry {};
  if (::stat(path.c_str(), &entry) == 0 && S_ISREG(entry.st_mode)) files_.emplace(entry.st_dev, entry.st_ino);
  if (::lstat(path.c_str(), &entry) == 0 && S_ISLNK(entry.st_mode)) files_.emplace(entry.st_dev, entry.st_ino);
#endif
}

std::optional<std::string> RunInputs::Refusal(const std::string& output) const {
  if (output == "-") return std::nullopt;
  bool input = paths_.count(Normalised(output)) > 0;
  bool plainFile = false;
#ifndef _WIN32
  struct stat entry {};
  if (::lstat(output.c_str(), &entry) == 0) {
    input = input || files_.count({entry.st_dev, entry.st_ino}) > 0;
    plainFile = S_ISREG(entry.st_mode);
  }
#else
  std::error_code ec;
  plainFile = std::filesystem::is_regular_file(output, ec);
#endif
  if (input) return "The output " + output + " is one of the records being read";
  if (plainFile && FileLooksLikeRecord(output)) return "The output " + output + " is a SEG-D record; it is not written over";
  return std::nullopt;
}

}  // namespace segd::app
