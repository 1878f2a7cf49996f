#include "app/record_finder.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "scan/record_signature.h"

namespace segd::app {

namespace fs = std::filesystem;

bool LooksLikeGeneralHeader(std::span<const std::uint8_t> b) { return NotGeneralHeaderReason(b).empty(); }

bool FileLooksLikeRecord(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::array<std::uint8_t, 32> block{};
  if (!in.read(reinterpret_cast<char*>(block.data()), block.size())) return false;
  return LooksLikeGeneralHeader(block);
}

FoundRecords FindRecords(const std::vector<std::string>& arguments) {
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
      if (it->is_regular_file(typeError)) files.push_back(fs::path(it->path()).make_preferred().string());
    }
    if (ec) found.problems.push_back("cannot read folder " + argument + " (" + ec.message() + ")");
    // Sorted as paths, component by component, so "a/b" comes before "a-b/c".
    std::sort(files.begin(), files.end(), [](const std::string& x, const std::string& y) { return fs::path(x) < fs::path(y); });
    for (std::string& file : files) {
      if (FileLooksLikeRecord(file)) found.paths.push_back(std::move(file));
    }
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
