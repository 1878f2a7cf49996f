#include "app/shell_paths.h"

namespace segd {

std::string FolderWithSeparator(std::string_view folder) {
  std::string joined(folder);
  joined.push_back('\\');
  std::string out;
  out.reserve(joined.size());
  for (std::size_t i = 0; i < joined.size(); ++i) {
    const bool networkPrefix = i == 1 && joined[0] == '\\';
    if (joined[i] == '\\' && !out.empty() && out.back() == '\\' && !networkPrefix) continue;
    out.push_back(joined[i]);
  }
  return out;
}

std::string FolderOfPath(std::string_view path) {
  const std::size_t last = path.find_last_of("\\/");
  if (last == std::string_view::npos) return {};
  std::string folder(path.substr(0, last));
  if (folder.empty() || (folder.size() == 2 && folder[1] == ':')) folder.push_back(path[last]);
  return folder;
}

}  // namespace segd
