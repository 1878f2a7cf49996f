#include "tools/general_headers.h"

namespace segd::writer {
namespace {

using G1 = GeneralHeader1;
using G2 = GeneralHeader2;
using G3 = GeneralHeader3;
constexpr Coding kBcd = Coding::kBcd;
constexpr Coding kBin = Coding::kBinary;

// Image digits of block 1 (byte b holds digits 2b-1 and 2b).
constexpr DigitField<G1> kBlock1[] = {
    {&G1::fileNumber, 1, 4, kBcd},          {&G1::formatCode, 5, 4, kBcd},
    {&G1::generalConstants, 9, 12, kBcd},   {&G1::year, 21, 2, kBcd},
    {&G1::additionalBlocks, 23, 1, kBin},   {&G1::julianDay, 24, 3, kBcd},
    {&G1::hour, 27, 2, kBcd},               {&G1::minute, 29, 2, kBcd},
    {&G1::second, 31, 2, kBcd},             {&G1::manufacturerCode, 33, 2, kBcd},
    {&G1::manufacturerSerial, 35, 4, kBcd}, {&G1::bytesPerScan, 39, 6, kBcd},
    {&G1::baseScanInterval, 45, 2, kBin},   {&G1::polarity, 47, 1, kBin},
    {&G1::unused1, 48, 3, kBin},            {&G1::recordType, 51, 1, kBin},
    {&G1::recordLength, 52, 3, kBcd},       {&G1::scanTypes, 55, 2, kBcd},
    {&G1::channelSets, 57, 2, kBcd},        {&G1::skewBlocks, 59, 2, kBcd},
    {&G1::extendedHeaderLength, 61, 2, kBcd}, {&G1::externalHeaderLength, 63, 2, kBcd},
};
static_assert(FieldsFit(kBlock1, 64));

constexpr DigitField<G2> kBlock2[] = {
    {&G2::expandedFileNumber, 1, 6, kBin},    {&G2::extendedChannelSets, 7, 4, kBin},
    {&G2::extendedHeaderBlocks, 11, 4, kBin}, {&G2::externalHeaderBlocks, 15, 4, kBin},
    {&G2::unused1, 19, 2, kBin},              {&G2::revisionMajor, 21, 2, kBin},
    {&G2::revisionMinor, 23, 2, kBin},        {&G2::trailerBlocks, 25, 4, kBin},
    {&G2::extendedRecordLength, 29, 6, kBin}, {&G2::unused2, 35, 2, kBin},
    {&G2::blockNumber, 37, 2, kBin},
};
static_assert(FieldsFit(kBlock2, 64));

constexpr DigitField<G3> kBlock3[] = {
    {&G3::expandedFileNumber, 1, 6, kBin},   {&G3::sourceLine, 7, 6, kBin},
    {&G3::sourceLineFraction, 13, 4, kBcd},  {&G3::sourcePoint, 17, 6, kBin},
    {&G3::sourcePointFraction, 23, 4, kBcd}, {&G3::sourcePointIndex, 27, 2, kBin},
    {&G3::phaseControl, 29, 2, kBin},        {&G3::vibratorType, 31, 2, kBin},
    {&G3::phaseAngle, 33, 4, kBin},          {&G3::blockNumber, 37, 2, kBin},
    {&G3::sourceSetNumber, 39, 2, kBin},
};
static_assert(FieldsFit(kBlock3, 64));

template <class H, std::size_t N>
Block32 Encode(const H& values, const DigitField<H> (&layout)[N]) {
  if (values.raw) return *values.raw;
  Block32 block{};
  PutFields(block, values, layout);
  return block;
}

}  // namespace

Block32 EncodeGeneralHeader1(const GeneralHeader1& values) { return Encode(values, kBlock1); }
Block32 EncodeGeneralHeader2(const GeneralHeader2& values) { return Encode(values, kBlock2); }
Block32 EncodeGeneralHeader3(const GeneralHeader3& values) { return Encode(values, kBlock3); }

std::uint64_t RecordLengthTenths(std::uint64_t milliseconds) {
  const std::uint64_t halfSteps = (milliseconds + 511) / 512;
  return halfSteps * 5;
}

std::uint64_t SampleIntervalMicroseconds(std::uint64_t baseScanInterval) {
  return baseScanInterval * 1000 / 16;
}

}  // namespace segd::writer
