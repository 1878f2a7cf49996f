#include "scan/makes/sn388/extended_header.h"

#include "scan/makes/sn388/extended_header_checks.h"
#include "scan/makes/sn388/extended_header_layout.h"

namespace segd {

using extended::kFields;

std::int32_t DecodeExtendedHeader(ByteSpan bytes, ExtendedHeaderRecord& record) {
  // The header as the decoder sees it: its first 1024 bytes, zero beyond
  // what the file held.
  FillFields(FixedBlock<extended::kBlockBytes>(bytes), kFields, record);
  // The checks read their own fields only and come in header order: run
  // after the fill, the last failing one still sets the status.
  std::int32_t status = 0;
  for (const FieldRow<extended::R>& row : kFields) {
    if (ReadsTheBlock(row.conversion)) extended::CheckCode((row.place.first + 1) / 2, ViewOf(record, row), record, status);
  }
  return status;
}

}  // namespace segd
