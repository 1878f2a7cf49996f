#pragma once
// Manufacturer names by the code of general header block 1 byte 17.
#include <string_view>

namespace segd::generic {

// The name of a manufacturer code, or empty text for a code no table holds
// (the code is then given as a number only).
std::string_view ManufacturerName(int code);

}  // namespace segd::generic
