#include "app/record_finder.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace segd::app {

namespace fs = std::filesystem;

namespace {

int Nibble(std::uint8_t byte, bool high) { return high ? byte >> 4 : byte & 0x0F; }

bool Decimal(std::span<const std::uint8_t> b, int firstNibble, int count, int lowest, int highest) {
  int value = 0;
  for (int n = firstNibble; n < firstNibble + count; ++n) {
    const int digit = Nibble(b[static_cast<std::size_t>(n / 2)], n % 2 == 0);
    if (digit > 9) return false;
    value = value * 10 + digit;
  }
  return value >= lowest && value <= highest;
}

bool KnownFormat(int code) {
  // Multiplexed and demultiplexed codes of every revision.
  constexpr int kCodes[] = {15,   22,   24,   36,   38,   42,   44,   48,   58,   8015, 8022, 8024,
                            8036, 8038, 8042, 8044, 8048, 8058, 8080, 9036, 9038, 9058, 9080};
  return std::find(std::begin(kCodes), std::end(kCodes), code) != std::end(kCodes);
}

}  // namespace

bool LooksLikeGeneralHeader(std::span<const std::uint8_t> b) {
  if (b.size() < 32) return false;
  const bool fileNumberEscaped = b[0] == 0xFF && b[1] == 0xFF;
  if (!fileNumberEscaped && !Decimal(b, 0, 4, 0, 9999)) return false;
  if (!Decimal(b, 4, 4, 0, 9999)) return false;
  const int format = (Nibble(b[2], true) * 1000) + (Nibble(b[2], false) * 100) + (Nibble(b[3], true) * 10) +
                     Nibble(b[3], false);
  // Byte 11 year, byte 12 low half and 13 the day of the year, 14-16 the time
  // of day (a second of 60 in a leap second).
  return KnownFormat(format) && Decimal(b, 20, 2, 0, 99) && Decimal(b, 23, 3, 0, 366) &&
         Decimal(b, 26, 2, 0, 23) && Decimal(b, 28, 2, 0, 59) && Decimal(b, 30, 2, 0, 60);
}

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
