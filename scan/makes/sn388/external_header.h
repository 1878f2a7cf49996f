#pragma once
// The external header: not interpreted, only shown as a hexadecimal dump of
// its first 1024 bytes.
#include <cstdint>

#include "scan/convert/conversions.h"
#include "scan/convert/text_field.h"

namespace segd {

inline constexpr std::size_t kExternalHeaderBytesShown = 1024;

struct ExternalHeaderRecord {
  TextField<2 * kExternalHeaderBytesShown> HexImage;  // two digits per byte
  TextField<80> ErrorInformation;                     // never filled
};

// Stores the image of the first 1024 bytes (zero beyond those given).
// Returns 0: nothing in the external header is judged.
std::int32_t DecodeExternalHeader(ByteSpan bytes, ExternalHeaderRecord& record);

}  // namespace segd
