#pragma once
// General header blocks 2 and 3: the extended counts and revision, and the
// source position. Neither is checked.
#include <cstdint>

#include "scan/convert/conversions.h"
#include "scan/convert/text_field.h"

namespace segd {

struct GeneralHeader2Record {
  TextField<6> ExpandedFileNumber;
  TextField<4> ExtendedChannelSets;
  TextField<4> ExtendedHeaderBlocks;  // binary block count, used when block 1 says FF
  TextField<4> ExternalHeaderBlocks;
  TextField<2> Unused1;
  TextField<4> RevisionNumber;
  TextField<4> GeneralTrailerBlocks;
  TextField<6> ExtendedRecordLength;
  TextField<2> Unused2;
  TextField<2> BlockNumber;
  TextField<26> Unused3;
  TextField<10> ExpandedFileNumberText;
  TextField<6> RevisionText;
  TextField<6> ExtendedRecordLengthText;
  TextField<80> ErrorInformation;
};

struct GeneralHeader3Record {
  TextField<6> ExpandedFileNumber;
  TextField<10> SourceLineNumber;
  TextField<10> SourcePointNumber;
  TextField<2> SourcePointIndex;
  TextField<2> PhaseControl;
  TextField<2> VibratorType;
  TextField<4> PhaseAngle;
  TextField<2> BlockNumber;
  TextField<2> SourceSetNumber;
  TextField<24> Unused;
  TextField<10> SourceLineText;
  TextField<10> SourcePointText;
  TextField<3> SourcePointIndexText;
  TextField<80> ErrorInformation;
};

// Both always return 0.
std::int32_t DecodeGeneralHeader2(ByteSpan block, GeneralHeader2Record& record);
std::int32_t DecodeGeneralHeader3(ByteSpan block, GeneralHeader3Record& record);

}  // namespace segd
