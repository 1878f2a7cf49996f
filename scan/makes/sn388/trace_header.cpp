#include "scan/makes/sn388/trace_header.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "scan/makes/sn388/field_table.h"
#include "scan/makes/sn388/sn388_columns.h"
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

// The places of the fields: the standard's from the general decoder's
// columns, the recorder's own from its make's columns.
using generic::kExtension1Columns;
using generic::kTraceHeaderColumns;
constexpr const auto& kOwn = sn388::kExtensionColumns;

using enum Conversion;

// ---- Trace header ---------------------------------------------------------

using TH = TraceHeaderRecord;

// The trace table's columns (output/report/trace_columns.h) give the fields their
// titles and data names: no row here is listed or named.
constexpr FieldRow<TH> kHeaderLayout[] = {
    {"", "", PlaceOf(generic::kTraceChannelSet), Hex, SEGD_AT(TH, ChannelSet)},
    {"", "", In(kTraceHeaderColumns, "first_timing_word_ms"), Decimal, SEGD_AT(TH, TimingWord)},
    {"", "", In(kTraceHeaderColumns, "trace_edit"), Decimal, SEGD_AT(TH, TraceEditCode)},
    {"", "", In(kTraceHeaderColumns, "time_break_window_ms"), Decimal, SEGD_AT(TH, TimeBreakWindow)},
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
    {"", "", In(kExtension1Columns, "receiver_line"), Decimal, SEGD_AT(E1, ReceiverLine)},
    {"", "", In(kExtension1Columns, "receiver_point"), Decimal, SEGD_AT(E1, ReceiverPoint)},
    {"", "", In(kOwn, "unit_serial"), Decimal, SEGD_AT(E1, SuNumber)},
    {"", "", In(kOwn, "sn388_filter_type"), Decimal, SEGD_AT(E1, FilterCode)},
    {"", "", In(kOwn, "sn388_gain_db"), Decimal, SEGD_AT(E1, GainCode)},
    {"", "", In(kOwn, "sn388_stacks_low"), Decimal, SEGD_AT(E1, StacksLow)},
    {"", "", In(kOwn, "sn388_stacks_noisy"), Decimal, SEGD_AT(E1, StacksNoisy)},
    {"", "", In(kOwn, "sn388_resistance_ohm"), Decimal, SEGD_AT(E1, Resistance)},
    {"", "", In(kOwn, "sn388_sim_percent"), Decimal, SEGD_AT(E1, Sim)},
    {"", "", In(kOwn, "sn388_receiver_type"), Decimal, SEGD_AT(E1, ReceiverTypeCode)},
    {"", "", In(kOwn, "sn388_conversion_factor"), Single, SEGD_AT(E1, ConversionFactor)},
};
static_assert(TableIsSound(kExtension1Layout, static_cast<int>(kTraceExtensionBytes), 0));

constexpr int kUnitChannelTypeByte = ByteOf(kOwn, "sn388_unit_type");
static_assert(ByteOf(kOwn, "sn388_channel_type") == kUnitChannelTypeByte);
constexpr int kNoiseEliminationByte = ByteOf(kOwn, "sn388_noise_elimination_type");
constexpr int kProcessTypeByte = ByteOf(kOwn, "sn388_process_type");
constexpr int kErrorFlagsByte = ByteOf(kOwn, "sn388_ipls_error");

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
// The masks are the make's flag columns'.
constexpr std::uint8_t MaskOf(std::string_view name) { return static_cast<std::uint8_t>(FieldNamed(kOwn, name).scale); }
constexpr FlagLayout kErrorFlags[] = {
    {SEGD_AT(E1, IplsError), MaskOf("sn388_ipls_error")},
    {SEGD_AT(E1, ImpedanceError), MaskOf("sn388_impedance_error")},
    {SEGD_AT(E1, DeadError), MaskOf("sn388_dead")},
    {SEGD_AT(E1, UnderrunError), MaskOf("sn388_underrun_error")},
    {SEGD_AT(E1, OverrunError), MaskOf("sn388_overrun_error")},
    {SEGD_AT(E1, OverscaleError), MaskOf("sn388_overscale_error")},
    {SEGD_AT(E1, DataError), MaskOf("sn388_data_error")},
    {SEGD_AT(E1, SyncError), MaskOf("sn388_sync_error")},
};

// Every flag the same width and read from the one flags byte.
constexpr bool FlagsFit() {
  for (const FlagLayout& flag : kErrorFlags) {
    if (flag.width != kFlagWidth) return false;
  }
  for (std::string_view name : {"sn388_ipls_error", "sn388_impedance_error", "sn388_dead", "sn388_underrun_error",
                                "sn388_overrun_error", "sn388_overscale_error", "sn388_data_error", "sn388_sync_error"}) {
    if (ByteOf(kOwn, name) != kErrorFlagsByte) return false;
  }
  return true;
}
static_assert(FlagsFit());

// ---- Trace header extension 2 ---------------------------------------------

using E2 = TraceExtension2Record;

// Bytes 21-32 are not shown. The texts keep their first characters only:
// 6543210.12345 is held as 6543210.12.
constexpr FieldRow<E2> kExtension2Layout[] = {
    {"", "", In(kOwn, "receiver_x"), Double, SEGD_AT(E2, Easting)},
    {"", "", In(kOwn, "receiver_y"), Double, SEGD_AT(E2, Northing)},
    {"", "", In(kOwn, "receiver_elevation"), Single, SEGD_AT(E2, Elevation)},
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
