#include "tools/trace_blocks.h"

namespace segd::writer {
namespace {

using T = TraceHeader;
using E1 = TraceExtension1;
constexpr Coding kBcd = Coding::kBcd;
constexpr Coding kBin = Coding::kBinary;

constexpr DigitField<T> kTraceHeader[] = {
    {&T::fileNumber, 1, 4, kBcd},       {&T::scanType, 5, 2, kBcd},
    {&T::channelSetNumber, 7, 2, kBcd}, {&T::traceNumber, 9, 4, kBcd},
    {&T::timingWord, 13, 6, kBin},      {&T::extensionCount, 19, 2, kBin},
    {&T::sampleSkew, 21, 2, kBin},      {&T::traceEdit, 23, 2, kBin},
    {&T::timeBreakWindow, 25, 6, kBin}, {&T::extendedChannelSetNumber, 31, 4, kBin},
    {&T::extendedFileNumber, 35, 6, kBin},
};
static_assert(FieldsFit(kTraceHeader, 40));

// Bytes 27-30 hold the conversion factor, bytes 31-32 are unused.
constexpr DigitField<E1> kExtension1[] = {
    {&E1::receiverLine, 1, 6, kBin},       {&E1::receiverPoint, 7, 6, kBin},
    {&E1::receiverPointIndex, 13, 2, kBin}, {&E1::samplesPerTrace, 15, 6, kBin},
    {&E1::suNumber, 21, 6, kBin},          {&E1::filter, 27, 2, kBin},
    {&E1::gain, 29, 2, kBin},              {&E1::unitType, 31, 1, kBin},
    {&E1::channelType, 32, 1, kBin},       {&E1::noiseElimination, 33, 2, kBin},
    {&E1::processType, 35, 2, kBin},       {&E1::errorFlags, 37, 2, kBin},
    {&E1::stacksLow, 39, 2, kBin},         {&E1::stacksNoisy, 41, 2, kBin},
    {&E1::resistance, 43, 4, kBin},        {&E1::sim, 47, 4, kBin},
    {&E1::receiverType, 51, 2, kBin},
};
static_assert(FieldsFit(kExtension1, 52));
constexpr int kConversionFactorByte = 27;

constexpr int kEastingByte = 1;
constexpr int kNorthingByte = 9;
constexpr int kElevationByte = 17;

}  // namespace

Block20 EncodeTraceHeader(const TraceHeader& values) {
  if (values.raw) return *values.raw;
  Block20 block{};
  PutFields(block, values, kTraceHeader);
  return block;
}

Block32 EncodeTraceExtension1(const TraceExtension1& values) {
  if (values.raw) return *values.raw;
  Block32 block{};
  PutFields(block, values, kExtension1);
  PutSingle(block, kConversionFactorByte, values.conversionFactor);
  return block;
}

Block32 EncodeTraceExtension2(const TraceExtension2& values) {
  if (values.raw) return *values.raw;
  Block32 block{};
  PutDouble(block, kEastingByte, values.easting);
  PutDouble(block, kNorthingByte, values.northing);
  PutSingle(block, kElevationByte, values.elevation);
  return block;
}

}  // namespace segd::writer
