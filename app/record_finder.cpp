#include "app/record_finder.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "scan/standard/record_signature.h"

namespace segd::app {

namespace fs = std::filesystem;

bool LooksLikeGeneralHeader(std::span<const std::uint8_t> b) { return NotGeneralHeaderReason(b).empty(); }

bool FileLooksLikeRecord(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<std::uint8_t, 32> block{};
  if (!in.read(reinterpret_cast<char*>(block.data()), block.size())) return false;
  return LooksLikeGeneralHeader(block);
}

bool GlobMatch(std::string_view pattern, std::string_view name) {
  // Backtracking over the last star only: linear enough for file names.
  std::size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
      continue;
    }
    bool match = false;
    std::size_t next = p + 1;
    if (p < pattern.size() && pattern[p] == '[') {
      std::size_t q = p + 1;
      const bool negate = q < pattern.size() && (pattern[q] == '!' || pattern[q] == '^');
      if (negate) ++q;
      bool in = false;
      const std::size_t first = q;
      for (; q < pattern.size() && (pattern[q] != ']' || q == first); ++q) {
        if (q + 2 < pattern.size() && pattern[q + 1] == '-' && pattern[q + 2] != ']') {
          in = in || (name[n] >= pattern[q] && name[n] <= pattern[q + 2]);
          q += 2;
        } else {
          in = in || name[n] == pattern[q];
        }
      }
      if (q < pattern.size()) {
        match = in != negate;
        next = q + 1;
      } else {
        match = name[n] == '[';  // no closing bracket: a plain '['
      }
    } else if (p < pattern.size()) {
      match = pattern[p] == '?' || pattern[p] == name[n];
    }
    if (match) {
      p = next;
      ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool FileFilter::Takes(const std::string& fileName) const {
  const auto matches = [&](const std::string& glob) { return GlobMatch(glob, fileName); };
  return (include.empty() || std::any_of(include.begin(), include.end(), matches)) &&
         std::none_of(exclude.begin(), exclude.end(), matches);
}

FoundRecords FindRecords(const std::vector<std::string>& arguments, const FileFilter& filter) {
  FoundRecords found;
  for (const std::string& argument : arguments) {
    std::error_code ec;
    if (!fs::is_directory(argument, ec)) {
      found.paths.push_back(argument);
      continue;
    }
    std::vector<std::string> files;
    fs::recursive_directory_iterator it(argument, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      std::error_code typeError;
      // One separator in a row's path on Windows, whichever the folder was
      // given with ("line/" gives line\shot_0001.segd); nothing on POSIX.
      if (it->is_regular_file(typeError) && filter.Takes(it->path().filename().string())) {
        files.push_back(fs::path(it->path()).make_preferred().string());
      }
    }
    if (ec) found.problems.push_back("cannot read folder " + argument + " (" + ec.message() + ")");
    // Sorted as paths, component by component, so "a/b" comes before "a-b/c".
    std::sort(files.begin(), files.end(), [](const std::string& x, const std::string& y) { return fs::path(x) < fs::path(y); });
    for (std::string& file : files) found.paths.push_back(std::move(file));
  }
  return found;
}

std::vector<std::string> ReadPathList(std::istream& in) {
  std::vector<std::string> paths;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) paths.push_back(line);
  }
  return paths;
}

}  // namespace segd::app
