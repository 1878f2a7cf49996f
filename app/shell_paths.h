#pragma once
// Folder texts of the shell, Windows style ("\" separators). Portable.
#include <string>
#include <string_view>

namespace segd {

// The folder followed by "\", every doubled "\" then reduced to one; a
// leading "\\" of a network path is kept.
std::string FolderWithSeparator(std::string_view folder);

// The folder part of a full path: everything before its last "\" or "/",
// with the "\" kept for a drive's root ("C:\"); empty when the path has no
// folder part.
std::string FolderOfPath(std::string_view path);

}  // namespace segd
