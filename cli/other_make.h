#pragma once
// The text report lists SN388 records only; a record of another make fails
// it with the SN388 decoder's own notice, which does not say why. This names
// the record's make and revision and the outputs that do read it.
#include <optional>
#include <string>

namespace segd::cli {

// "this record was written by MAKE (SEG-D revision R), not an SN388 ..." when
// the general decoder reads the record at `path` and it is not an SN388
// record; nothing otherwise. Reads only the headers.
std::optional<std::string> OtherMakeNotice(const std::string& path);

}  // namespace segd::cli
