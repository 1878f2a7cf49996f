#include "scan/general_header23.h"

#include "scan/header_image.h"

namespace segd {

namespace {

using R2 = GeneralHeader2Record;
constexpr RawFieldLayout<R2> kLayout2[] = {
    {SEGD_FIELD(R2, ExpandedFileNumber), 1, 6},
    {SEGD_FIELD(R2, ExtendedChannelSets), 7, 10},
    {SEGD_FIELD(R2, ExtendedHeaderBlocks), 11, 14},
    {SEGD_FIELD(R2, ExternalHeaderBlocks), 15, 18},
    {SEGD_FIELD(R2, Unused1), 19, 20},
    {SEGD_FIELD(R2, RevisionNumber), 21, 24},
    {SEGD_FIELD(R2, GeneralTrailerBlocks), 25, 28},
    {SEGD_FIELD(R2, ExtendedRecordLength), 29, 34},
    {SEGD_FIELD(R2, Unused2), 35, 36},
    {SEGD_FIELD(R2, BlockNumber), 37, 38},
    {SEGD_FIELD(R2, Unused3), 39, 64},
};
static_assert(LayoutFits(kLayout2, 64));

using R3 = GeneralHeader3Record;
constexpr RawFieldLayout<R3> kLayout3[] = {
    {SEGD_FIELD(R3, ExpandedFileNumber), 1, 6},
    {SEGD_FIELD(R3, SourceLineNumber), 7, 16},
    {SEGD_FIELD(R3, SourcePointNumber), 17, 26},
    {SEGD_FIELD(R3, SourcePointIndex), 27, 28},
    {SEGD_FIELD(R3, PhaseControl), 29, 30},
    {SEGD_FIELD(R3, VibratorType), 31, 32},
    {SEGD_FIELD(R3, PhaseAngle), 33, 36},
    {SEGD_FIELD(R3, BlockNumber), 37, 38},
    {SEGD_FIELD(R3, SourceSetNumber), 39, 40},
    {SEGD_FIELD(R3, Unused), 41, 64},
};
static_assert(LayoutFits(kLayout3, 64));

// Bytes first..last (1-based) of a block.
ByteSpan Bytes(ByteSpan block, std::size_t first, std::size_t last) { return block.subspan(first - 1, last - first + 1); }

}  // namespace

std::int32_t DecodeGeneralHeader2(ByteSpan bytes, GeneralHeader2Record& record) {
  const auto fixed = FixedBlock<32>(bytes);
  const ByteSpan block(fixed);
  FillRawFields(BytesToHex(block), kLayout2, record);
  record.ExpandedFileNumberText.Store(BytesToDecimal(Bytes(block, 1, 3)));
  record.RevisionText.Store(BytesToRevision(Bytes(block, 11, 12)));
  record.ExtendedRecordLengthText.Store(BytesToDecimal(Bytes(block, 15, 17)));
  return 0;
}

std::int32_t DecodeGeneralHeader3(ByteSpan bytes, GeneralHeader3Record& record) {
  const auto fixed = FixedBlock<32>(bytes);
  const ByteSpan block(fixed);
  FillRawFields(BytesToHex(block), kLayout3, record);
  record.SourceLineText.Store(BytesToFixedPoint(Bytes(block, 4, 8)));
  record.SourcePointText.Store(BytesToFixedPoint(Bytes(block, 9, 13)));
  record.SourcePointIndexText.Store(BytesToDecimal(Bytes(block, 14, 14)));
  return 0;
}

}  // namespace segd
