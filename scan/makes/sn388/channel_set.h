#pragma once
// Channel set headers: one 32-byte header per channel set of the scan type.
#include <cstdint>

#include "scan/convert/conversions.h"
#include "scan/convert/text_field.h"

namespace segd {

struct ChannelSetRecord {
  TextField<2> ScanTypeNumber;
  TextField<2> ChannelSetNumber;
  TextField<5> StartTime;  // four digits and a blank
  TextField<5> EndTime;
  TextField<4> DescaleMultiplier;
  TextField<4> ChannelCount;
  TextField<1> ChannelType;
  TextField<1> Unused;
  TextField<1> SubscanExponent;
  TextField<1> GainControl;
  TextField<4> AliasFrequency;
  TextField<4> AliasSlope;
  TextField<4> LowCutFrequency;
  TextField<4> LowCutSlope;
  TextField<4> FirstNotch;
  TextField<4> SecondNotch;
  TextField<4> ThirdNotch;
  TextField<4> ExtendedChannelSetNumber;
  TextField<1> ExtendedHeaderFlag;
  TextField<1> TraceHeaderExtensions;
  TextField<2> VerticalStack;
  TextField<2> StreamerNumber;
  TextField<2> ArrayForming;
  // Decoded texts.
  TextField<8> StartTimeText;  // in steps of 2 ms
  TextField<8> EndTimeText;
  TextField<4> ChannelTypeText;
  TextField<20> GainControlText;
  TextField<48> ArrayFormingText;
  TextField<80> ErrorInformation;
};

// Fills every raw field and its decoded texts; makes no check and returns 0.
std::int32_t DecodeChannelSet(ByteSpan block, ChannelSetRecord& record);

}  // namespace segd
