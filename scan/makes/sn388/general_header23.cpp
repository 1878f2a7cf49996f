#include "scan/makes/sn388/general_header23.h"

#include "scan/makes/sn388/general_header_fields.h"

namespace segd {

namespace {

// Bytes first..last (1-based) of a block.
ByteSpan ByteRange(ByteSpan block, std::size_t first, std::size_t last) { return block.subspan(first - 1, last - first + 1); }

}  // namespace

std::int32_t DecodeGeneralHeader2(ByteSpan bytes, GeneralHeader2Record& record) {
  const auto fixed = FixedBlock<general_fields::kBlockBytes>(bytes);
  const ByteSpan block(fixed);
  FillFields(fixed, general_fields::kBlock2, record);
  record.ExpandedFileNumberText.Store(BytesToDecimal(ByteRange(block, 1, 3)));
  record.RevisionText.Store(BytesToRevision(ByteRange(block, 11, 12)));
  record.ExtendedRecordLengthText.Store(BytesToDecimal(ByteRange(block, 15, 17)));
  return 0;
}

std::int32_t DecodeGeneralHeader3(ByteSpan bytes, GeneralHeader3Record& record) {
  const auto fixed = FixedBlock<general_fields::kBlockBytes>(bytes);
  const ByteSpan block(fixed);
  FillFields(fixed, general_fields::kBlock3, record);
  record.SourceLineText.Store(BytesToFixedPoint(ByteRange(block, 4, 8)));
  record.SourcePointText.Store(BytesToFixedPoint(ByteRange(block, 9, 13)));
  record.SourcePointIndexText.Store(BytesToDecimal(ByteRange(block, 14, 14)));
  return 0;
}

}  // namespace segd
