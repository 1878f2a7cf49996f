#include "scan/makes/sn388/sn388_decode.h"

#include <algorithm>
#include <array>
#include <span>

#include "scan/convert/conversions.h"

namespace segd {

namespace {

constexpr std::size_t kBlockSize = 32;
// The extended and external header decoders look at their first 1024 bytes
// only; the rest of a longer header is skipped, never held in memory.
constexpr std::size_t kHeaderBytesKept = 1024;
// Two decimal digits count the channel sets.
constexpr std::int32_t kMaxChannelSets = 99;

// A header length in 32-byte blocks: two decimal digits, or FF and a binary
// count in general header block 2.
std::int64_t HeaderBlocks(std::string_view lengthDigits, std::string_view blockDigits) {
  if (lengthDigits == "FF") return static_cast<std::int64_t>(std::min<std::uint64_t>(HexValue(blockDigits), 0xFFFF));
  return std::clamp<std::int32_t>(SaturatedCount(DigitValue(lengthDigits)), 0, 99);
}

class Decoder {
 public:
  Decoder(ByteSource& record, Sn388Headers& headers, NoticeSink& notices)
      : source_(record), records_(headers), notices_(notices) {}
  bool Run();

 private:
  // Shows the complaint of a status other than 0; false when the run must
  // stop.
  bool Accept(std::int32_t status, const TextField<80>& complaint) {
    if (status != 0) notices_.ShowNotice(complaint.View(), "", NoticeKind::Plain);
    return status >= 0;
  }
  // Reads `out.size()` bytes at the position and moves past them.
  void ReadBlock(std::span<std::uint8_t> out) {
    source_.ReadAt(position_, out);
    position_ += static_cast<std::int64_t>(out.size());
  }
  // Reads the first bytes of a header of `blocks` blocks (the rest reads as
  // zeros) and moves past the whole header.
  std::int64_t ReadHeader(std::int64_t blocks, std::array<std::uint8_t, kHeaderBytesKept>& buffer) {
    const std::int64_t bytes = blocks * static_cast<std::int64_t>(kBlockSize);
    buffer.fill(0);
    const std::size_t kept = static_cast<std::size_t>(std::min<std::int64_t>(bytes, kHeaderBytesKept));
    source_.ReadAt(static_cast<std::uint64_t>(position_), std::span<std::uint8_t>(buffer.data(), kept));
    position_ += bytes;
    return bytes;
  }

  ByteSource& source_;
  Sn388Headers& records_;
  NoticeSink& notices_;
  std::int64_t position_ = 0;  // 0-based offset of the next read
};

bool Decoder::Run() {
  std::array<std::uint8_t, kBlockSize> block1{}, block2{}, block3{};
  ReadBlock(block1);
  ReadBlock(block2);
  ReadBlock(block3);
  if (!Accept(DecodeGeneralHeader1(block1, records_.general1), records_.general1.ErrorInformation)) return false;
  if (!Accept(DecodeGeneralHeader2(block2, records_.general2), records_.general2.ErrorInformation)) return false;
  // Block 3 is decoded once for every additional block past the first, over
  // the same bytes.
  const std::int32_t additional = SaturatedCount(DigitValue(records_.general1.AdditionalBlocks.View()));
  for (std::int32_t k = 2; k <= additional; ++k) {
    if (!Accept(DecodeGeneralHeader3(block3, records_.general3), records_.general3.ErrorInformation)) return false;
  }

  records_.channelSetCount =
      std::clamp(SaturatedCount(DigitValue(records_.general1.ChannelSets.View())), 0, kMaxChannelSets);
  records_.channelSets.resize(static_cast<std::size_t>(records_.channelSetCount));
  for (ChannelSetRecord& channelSet : records_.channelSets) {
    std::array<std::uint8_t, kBlockSize> block{};
    ReadBlock(block);
    if (!Accept(DecodeChannelSet(block, channelSet), channelSet.ErrorInformation)) return false;
  }

  std::array<std::uint8_t, kHeaderBytesKept> extended{};
  ReadHeader(HeaderBlocks(records_.general1.ExtendedHeaderLength.View(), records_.general2.ExtendedHeaderBlocks.View()),
             extended);
  if (records_.IsSn388()) {
    if (!Accept(DecodeExtendedHeader(extended, records_.extended), records_.extended.ErrorInformation)) return false;
  } else {
    notices_.ShowNotice("Not a valid SN388 File, Decode will continue, but results may not be valid!!",
                        "Invalid File", NoticeKind::Plain);
  }

  std::array<std::uint8_t, kHeaderBytesKept> external{};
  records_.externalHeaderBytes = static_cast<std::uint64_t>(ReadHeader(
      HeaderBlocks(records_.general1.ExternalHeaderLength.View(), records_.general2.ExternalHeaderBlocks.View()),
      external));
  records_.firstTraceOffset = position_;
  return Accept(DecodeExternalHeader(external, records_.external), records_.external.ErrorInformation);
}

}  // namespace

bool Sn388Headers::IsSn388() const { return TrimBlanks(general1.SystemTypeText.View()) == "SN388"; }

std::int32_t Sn388Headers::SamplesPerTrace() const { return SaturatedCount(DigitValue(extended.SamplesPerTrace.View())); }

std::int32_t Sn388Headers::TotalTraces() const { return SaturatedCount(DigitValue(extended.TotalTraces.View())); }

std::int32_t Sn388Headers::TraceExtensions() const {
  return SaturatedCount(DigitValue(extended.TraceHeaderExtensionCount.View()));
}

bool DecodeSn388Headers(ByteSource& record, Sn388Headers& headers, NoticeSink& notices) {
  return Decoder(record, headers, notices).Run();
}

}  // namespace segd
