#include "scan/makes/sn388/general_header23.h"

#include "scan/makes/sn388/general_header_fields.h"

namespace segd {

namespace {

using generic::kGeneralHeader2;
using generic::kSourceBlock;

}  // namespace

std::int32_t DecodeGeneralHeader2(ByteSpan bytes, GeneralHeader2Record& record) {
  const auto fixed = FixedBlock<general_fields::kBlockBytes>(bytes);
  const ByteSpan block(fixed);
  FillFields(fixed, general_fields::kBlock2, record);
  record.ExpandedFileNumberText.Store(BytesToDecimal(BytesOf(block, FieldNamed(kGeneralHeader2, "extended_file_number"))));
  record.RevisionText.Store(BytesToRevision(
      BytesThrough(block, FieldNamed(kGeneralHeader2, "revision_major"), FieldNamed(kGeneralHeader2, "revision_minor"))));
  record.ExtendedRecordLengthText.Store(BytesToDecimal(BytesOf(block, FieldNamed(kGeneralHeader2, "extended_record_length"))));
  return 0;
}

std::int32_t DecodeGeneralHeader3(ByteSpan bytes, GeneralHeader3Record& record) {
  const auto fixed = FixedBlock<general_fields::kBlockBytes>(bytes);
  const ByteSpan block(fixed);
  FillFields(fixed, general_fields::kBlock3, record);
  record.SourceLineText.Store(BytesToFixedPoint(BytesOf(block, FieldNamed(kSourceBlock, "source_line"))));
  record.SourcePointText.Store(BytesToFixedPoint(BytesOf(block, FieldNamed(kSourceBlock, "source_point"))));
  record.SourcePointIndexText.Store(BytesToDecimal(BytesOf(block, FieldNamed(kSourceBlock, "source_point_index"))));
  return 0;
}

}  // namespace segd
