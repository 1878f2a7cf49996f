#pragma once
// The one rule for "is this a SEG-D record", used wherever a file is taken
// as one (a file named on the command line, a folder's files, Python's
// open() and scan()): its first 32 bytes read as general header block 1 as
// every make writes it.
#include <cstdint>
#include <span>
#include <string>

namespace segd {

// Why the first bytes of a file are not a SEG-D general header block 1
// ("it is shorter than a general header block", "bytes 3-4 hold no known
// format code", ...); empty when they are one.
std::string NotGeneralHeaderReason(std::span<const std::uint8_t> first);

}  // namespace segd
