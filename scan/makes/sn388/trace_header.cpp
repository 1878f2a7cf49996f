#include "scan/makes/sn388/trace_header.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "scan/makes/sn388/field_table.h"
#include "scan/makes/sn388/sn388_trace_codes.h"

namespace segd {

namespace {

// A code table: the text of the first row whose code matches, else the
// fallback.
template <class Code>
struct CodeRow {
  Code code;
  std::string_view text;
};

// A table's texts, and its fallback after them, padded or cut to a field's
// width once, at compile time: storing one is then a copy of fixed size.
template <std::size_t W, std::size_t N>
using PaddedTexts = std::array<std::array<char, W>, N + 1>;

template <std::size_t W, class Row, std::size_t N>
constexpr PaddedTexts<W, N> PadTexts(const Row (&table)[N], std::string_view fallback) {
  PaddedTexts<W, N> out{};
  for (std::size_t i = 0; i <= N; ++i) {
    const std::string_view text = i < N ? table[i].text : fallback;
    for (std::size_t j = 0; j < W; ++j) out[i][j] = j < text.size() ? text[j] : ' ';
  }
  return out;
}

template <std::size_t W, class Row, std::size_t N, class Code>
void StoreCode(TextField<W>& field, const Row (&table)[N], const PaddedTexts<W, N>& texts, Code code) {
  std::size_t i = 0;
  while (i < N && !(table[i].code == code)) ++i;
  field.chars = texts[i];
}

constexpr std::string_view kUnknown = "Unknown";

using enum Conversion;

// ---- Trace header ---------------------------------------------------------

using TH = TraceHeaderRecord;

// The trace table's columns (scan/makes/sn388/trace_columns.h) give the fields their
// titles and data names: no row here is listed or named.
constexpr FieldRow<TH> kHeaderLayout[] = {
    {"", "", Byte(4), Hex, SEGD_AT(TH, ChannelSet)},
    {"", "", Bytes(7, 9), Decimal, SEGD_AT(TH, TimingWord)},
    {"", "", Byte(12), Decimal, SEGD_AT(TH, TraceEditCode)},
    {"", "", Bytes(13, 15), Decimal, SEGD_AT(TH, TimeBreakWindow)},
};
static_assert(TableIsSound(kHeaderLayout, static_cast<int>(kTraceHeaderBytes), 0));

// Byte 12, compared as the text of the two-character code field: values
// from 100 up keep only two digits and so match no row. The texts are the
// standard's labels (scan/standard/trace_header_tables.h).
using generic::kTraceEditRows;
constexpr CodeRow<std::string_view> kTraceEditTable[] = {
    {"0", kTraceEditRows[0].text},
    {"2", kTraceEditRows[1].text},
    {"3", kTraceEditRows[2].text},
};
static_assert(kTraceEditRows[0].code == 0 && kTraceEditRows[1].code == 2 && kTraceEditRows[2].code == 3);
constexpr auto kTraceEditTexts = PadTexts<decltype(TH::TraceEditText)::kWidth>(kTraceEditTable, "Status Unknown");

// ---- Trace header extension 1 ---------------------------------------------

using E1 = TraceExtension1Record;

// In decoding order; bytes 7-10 (point index, samples per trace) and 31-32
// are not shown.
constexpr FieldRow<E1> kExtension1Layout[] = {
    {"", "", Bytes(1, 3), Decimal, SEGD_AT(E1, ReceiverLine)},
    {"", "", Bytes(4, 6), Decimal, SEGD_AT(E1, ReceiverPoint)},
    {"", "", Bytes(11, 13), Decimal, SEGD_AT(E1, SuNumber)},
    {"", "", Byte(14), Decimal, SEGD_AT(E1, FilterCode)},
    {"", "", Byte(15), Decimal, SEGD_AT(E1, GainCode)},
    {"", "", Byte(20), Decimal, SEGD_AT(E1, StacksLow)},
    {"", "", Byte(21), Decimal, SEGD_AT(E1, StacksNoisy)},
    {"", "", Bytes(22, 23), Decimal, SEGD_AT(E1, Resistance)},
    {"", "", Bytes(24, 25), Decimal, SEGD_AT(E1, Sim)},
    {"", "", Byte(26), Decimal, SEGD_AT(E1, ReceiverTypeCode)},
    {"", "", Bytes(27, 30), Single, SEGD_AT(E1, ConversionFactor)},
};
static_assert(TableIsSound(kExtension1Layout, static_cast<int>(kTraceExtensionBytes), 0));

constexpr int kUnitChannelTypeByte = 16;
constexpr int kNoiseEliminationByte = 17;
constexpr int kProcessTypeByte = 18;
constexpr int kErrorFlagsByte = 19;

using sn388::kChannelTypeTable;
using sn388::kFilterTable;
using sn388::kNoiseEliminationTable;
using sn388::kProcessTypeTable;
using sn388::kUnitTypeTable;
constexpr auto kFilterTexts = PadTexts<decltype(E1::FilterText)::kWidth>(kFilterTable, kUnknown);
constexpr auto kUnitTypeTexts = PadTexts<decltype(E1::UnitTypeText)::kWidth>(kUnitTypeTable, kUnknown);
constexpr auto kChannelTypeTexts = PadTexts<decltype(E1::ChannelTypeText)::kWidth>(kChannelTypeTable, kUnknown);
constexpr auto kNoiseEliminationTexts =
    PadTexts<decltype(E1::NoiseEliminationText)::kWidth>(kNoiseEliminationTable, kUnknown);
constexpr auto kProcessTypeTexts = PadTexts<decltype(E1::ProcessTypeText)::kWidth>(kProcessTypeTable, kUnknown);

// Byte 19: one error flag per bit, most significant first.
struct FlagLayout {
  std::size_t offset;
  std::size_t width;
  std::uint8_t mask;
};
constexpr std::size_t kFlagWidth = 3;  // "Yes", or "No" and a blank
constexpr FlagLayout kErrorFlags[] = {
    {SEGD_AT(E1, IplsError), 0x80},     {SEGD_AT(E1, ImpedanceError), 0x40},
    {SEGD_AT(E1, DeadError), 0x20},     {SEGD_AT(E1, UnderrunError), 0x10},
    {SEGD_AT(E1, OverrunError), 0x08},  {SEGD_AT(E1, OverscaleError), 0x04},
    {SEGD_AT(E1, DataError), 0x02},     {SEGD_AT(E1, SyncError), 0x01},
};

constexpr bool FlagsFit() {
  for (const FlagLayout& flag : kErrorFlags) {
    if (flag.width != kFlagWidth) return false;
  }
  return true;
}
static_assert(FlagsFit());

// ---- Trace header extension 2 ---------------------------------------------

using E2 = TraceExtension2Record;

// Bytes 21-32 are not shown. The texts keep their first characters only:
// 6543210.12345 is held as 6543210.12.
constexpr FieldRow<E2> kExtension2Layout[] = {
    {"", "", Bytes(1, 8), Double, SEGD_AT(E2, Easting)},
    {"", "", Bytes(9, 16), Double, SEGD_AT(E2, Northing)},
    {"", "", Bytes(17, 20), Single, SEGD_AT(E2, Elevation)},
};
static_assert(TableIsSound(kExtension2Layout, static_cast<int>(kTraceExtensionBytes), 0));

}  // namespace

void DecodeTraceHeader(ByteSpan bytes, TraceHeaderRecord& record) {
  const auto block = FixedBlock<kTraceHeaderBytes>(bytes);
  FillFieldsUnrolled<kHeaderLayout>(block, record);
  StoreCode(record.TraceEditText, kTraceEditTable, kTraceEditTexts, TrimBlanks(record.TraceEditCode.View()));
}

void DecodeTraceExtension1(ByteSpan bytes, TraceExtension1Record& record) {
  const auto block = FixedBlock<kTraceExtensionBytes>(bytes);
  auto byteAt = [&block](int position) { return block[static_cast<std::size_t>(position - 1)]; };
  FillFieldsUnrolled<kExtension1Layout>(block, record);

  // The filter code field holds the first decimal digit of byte 14.
  StoreCode(record.FilterText, kFilterTable, kFilterTexts, record.FilterCode.chars[0] - '0');

  // The gain code at its full width: a one-digit gain keeps the blank that
  // pads its field, so 0 dB shows as "0  dB".
  static_assert(decltype(E1::GainCode)::kWidth == 2 && decltype(E1::GainText)::kWidth == 6);
  record.GainText.chars = {record.GainCode.chars[0], record.GainCode.chars[1], ' ', 'd', 'B', ' '};

  const std::uint8_t types = byteAt(kUnitChannelTypeByte);
  StoreCode(record.UnitTypeText, kUnitTypeTable, kUnitTypeTexts, types >> 4);
  StoreCode(record.ChannelTypeText, kChannelTypeTable, kChannelTypeTexts, types & 0x0F);
  StoreCode(record.NoiseEliminationText, kNoiseEliminationTable, kNoiseEliminationTexts,
            int{byteAt(kNoiseEliminationByte)});
  StoreCode(record.ProcessTypeText, kProcessTypeTable, kProcessTypeTexts, int{byteAt(kProcessTypeByte)});

  const std::uint8_t flags = byteAt(kErrorFlagsByte);
  for (const FlagLayout& flag : kErrorFlags) {
    std::memcpy(reinterpret_cast<char*>(&record) + flag.offset, (flags & flag.mask) != 0 ? "Yes" : "No ", kFlagWidth);
  }

  static_assert(decltype(E1::ReceiverTypeCode)::kWidth < decltype(E1::ReceiverType)::kWidth);
  record.ReceiverType.chars.fill(' ');
  std::memcpy(record.ReceiverType.chars.data(), record.ReceiverTypeCode.chars.data(), record.ReceiverTypeCode.kWidth);

  // A zero conversion factor (a recorder that did not fill it) means none:
  // the samples are taken as they stand. Its text reads as zero exactly
  // when the single is a zero, infinite or not a number ("0", "Inf",
  // "NaN"): every other text has a non-zero digit.
  const std::uint32_t factor = std::uint32_t{byteAt(27)} << 24 | std::uint32_t{byteAt(28)} << 16 |
                               std::uint32_t{byteAt(29)} << 8 | byteAt(30);
  if ((factor & 0x7FFFFFFF) == 0 || (factor & 0x7F800000) == 0x7F800000) record.ConversionFactor.Store("1");
}

void DecodeTraceExtension2(ByteSpan bytes, TraceExtension2Record& record) {
  const auto block = FixedBlock<kTraceExtensionBytes>(bytes);
  FillFieldsUnrolled<kExtension2Layout>(block, record);
}

}  // namespace segd
