#include "tools/channel_set.h"

namespace segd::writer {
namespace {

using C = ChannelSetHeader;
constexpr Coding kBcd = Coding::kBcd;
constexpr Coding kBin = Coding::kBinary;

constexpr DigitField<C> kChannelSet[] = {
    {&C::scanType, 1, 2, kBcd},          {&C::channelSetNumber, 3, 2, kBcd},
    {&C::startTime, 5, 4, kBin},         {&C::endTime, 9, 4, kBin},
    {&C::descaleMultiplier, 13, 4, kBin}, {&C::channelCount, 17, 4, kBcd},
    {&C::channelType, 21, 1, kBin},      {&C::unused, 22, 1, kBin},
    {&C::subscanExponent, 23, 1, kBin},  {&C::gainControl, 24, 1, kBin},
    {&C::aliasFrequency, 25, 4, kBcd},   {&C::aliasSlope, 29, 4, kBcd},
    {&C::lowCutFrequency, 33, 4, kBcd},  {&C::lowCutSlope, 37, 4, kBcd},
    {&C::firstNotch, 41, 4, kBcd},       {&C::secondNotch, 45, 4, kBcd},
    {&C::thirdNotch, 49, 4, kBcd},       {&C::extendedChannelSetNumber, 53, 4, kBin},
    {&C::extendedHeaderFlag, 57, 1, kBin}, {&C::traceHeaderExtensions, 58, 1, kBin},
    {&C::verticalStack, 59, 2, kBin},    {&C::streamerNumber, 61, 2, kBin},
    {&C::arrayForming, 63, 2, kBin},
};
static_assert(FieldsFit(kChannelSet, 64));

}  // namespace

Block32 EncodeChannelSet(const ChannelSetHeader& values) {
  if (values.raw) return *values.raw;
  Block32 block{};
  PutFields(block, values, kChannelSet);
  return block;
}

}  // namespace segd::writer
