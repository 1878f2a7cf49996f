#include "scan/trace_header.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

#include "scan/header_image.h"

namespace segd {

namespace {

enum class Conversion : std::uint8_t { kHex, kDecimal, kSingle, kDouble };

// One field converted from bytes first..last (1-based) of its block. The
// field is named by its place in the record: this runs for every trace, and
// plain offsets spare an indirect call per field.
template <class R>
struct ByteFieldLayout {
  std::size_t offset;
  std::size_t width;
  int first;
  int last;
  Conversion conversion;
};
#define SEGD_TRACE_FIELD(Record, Member) offsetof(Record, Member), decltype(Record::Member)::kWidth

// The field of `record` at a layout entry's place.
template <class R>
FieldRef FieldAt(R& record, std::size_t offset, std::size_t width) {
  static_assert(std::is_standard_layout_v<R>);
  return {reinterpret_cast<char*>(&record) + offset, width};
}

template <class R, std::size_t N>
constexpr bool ByteLayoutFits(const ByteFieldLayout<R> (&layout)[N], std::size_t blockBytes) {
  for (const ByteFieldLayout<R>& f : layout) {
    if (f.first < 1 || f.last < f.first || static_cast<std::size_t>(f.last) > blockBytes) return false;
    if (f.offset + f.width > sizeof(R)) return false;
    if (f.conversion == Conversion::kSingle && f.last - f.first != 3) return false;
    if (f.conversion == Conversion::kDouble && f.last - f.first != 7) return false;
    if (f.conversion == Conversion::kDecimal && f.last - f.first > 7) return false;
  }
  return true;
}

// The widest field a layout converts into.
constexpr std::size_t kFieldRoom = 16;

// The decimal digits of a number of up to 3 bytes (at most 8 digits, so the
// text needs no rounding), written at `out`, which has room for 16 more.
char* WriteDigits(char* out, ByteSpan bytes) {
  std::uint32_t value = 0;
  for (std::uint8_t b : bytes) value = value << 8 | b;
  char digits[24] = {};
  std::size_t count = 0;
  do {
    digits[15 - count++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  std::memcpy(out, digits + 16 - count, 8);  // a fixed-size copy; only `count` of them count
  return out + count;
}

// The field's text written at `out` (kNumberTextRoom characters), its end
// returned: no string is made per field.
char* Convert(Conversion conversion, ByteSpan bytes, char* out) {
  switch (conversion) {
    case Conversion::kHex:
      for (std::uint8_t b : bytes) {
        *out++ = "0123456789ABCDEF"[b >> 4];
        *out++ = "0123456789ABCDEF"[b & 0x0F];
      }
      return out;
    case Conversion::kDecimal:
      if (bytes.size() <= 3) return WriteDigits(out, bytes);
      return WriteSmallDecimal(out, bytes);
    case Conversion::kSingle:
      return WriteSingleText(out, bytes);
    case Conversion::kDouble:
      return WriteDoubleText(out, bytes);
  }
  return out;
}

// One field of a layout, its place, width and conversion constants: the
// text is padded with blanks in a buffer and copied at the field's width.
template <auto F, class R, std::size_t B>
void FillByteField(const std::array<std::uint8_t, B>& block, R& record) {
  static_assert(F.width <= kFieldRoom);
  char text[kNumberTextRoom + kFieldRoom];
  char* const end = Convert(F.conversion, ByteSpan(block).subspan(F.first - 1, F.last - F.first + 1), text);
  std::memset(end, ' ', F.width);  // a shorter text padded, a longer one cut
  std::memcpy(reinterpret_cast<char*>(&record) + F.offset, text, F.width);
}

template <const auto& Layout, class R, std::size_t B>
void FillByteFields(const std::array<std::uint8_t, B>& block, R& record) {
  [&]<std::size_t... I>(std::index_sequence<I...>) {
    (FillByteField<Layout[I]>(block, record), ...);
  }(std::make_index_sequence<std::size(Layout)>());
}

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

template <std::size_t W, class Code, std::size_t N>
constexpr PaddedTexts<W, N> PadTexts(const CodeRow<Code> (&table)[N], std::string_view fallback) {
  PaddedTexts<W, N> out{};
  for (std::size_t i = 0; i <= N; ++i) {
    const std::string_view text = i < N ? table[i].text : fallback;
    for (std::size_t j = 0; j < W; ++j) out[i][j] = j < text.size() ? text[j] : ' ';
  }
  return out;
}

template <std::size_t W, class Code, std::size_t N>
void StoreCode(TextField<W>& field, const CodeRow<Code> (&table)[N], const PaddedTexts<W, N>& texts, Code code) {
  std::size_t i = 0;
  while (i < N && !(table[i].code == code)) ++i;
  field.chars = texts[i];
}

constexpr std::string_view kUnknown = "Unknown";

// ---- Trace header ---------------------------------------------------------

using TH = TraceHeaderRecord;

constexpr ByteFieldLayout<TH> kHeaderLayout[] = {
    {SEGD_TRACE_FIELD(TH, ChannelSet), 4, 4, Conversion::kHex},
    {SEGD_TRACE_FIELD(TH, TimingWord), 7, 9, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(TH, TraceEditCode), 12, 12, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(TH, TimeBreakWindow), 13, 15, Conversion::kDecimal},
};
static_assert(ByteLayoutFits(kHeaderLayout, kTraceHeaderBytes));

// Byte 12, compared as the text of the two-character code field: values
// from 100 up keep only two digits and so match no row.
constexpr CodeRow<std::string_view> kTraceEditTable[] = {
    {"0", "No edit applied"},
    {"2", "Muted or dead prior to acquisition"},
    {"3", "Edited by acquisition system"},
};
constexpr auto kTraceEditTexts = PadTexts<decltype(TH::TraceEditText)::kWidth>(kTraceEditTable, "Status Unknown");

// ---- Trace header extension 1 ---------------------------------------------

using E1 = TraceExtension1Record;

// In decoding order; bytes 7-10 (point index, samples per trace) and 31-32
// are not shown.
constexpr ByteFieldLayout<E1> kExtension1Layout[] = {
    {SEGD_TRACE_FIELD(E1, ReceiverLine), 1, 3, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(E1, ReceiverPoint), 4, 6, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(E1, SuNumber), 11, 13, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(E1, FilterCode), 14, 14, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(E1, GainCode), 15, 15, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(E1, StacksLow), 20, 20, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(E1, StacksNoisy), 21, 21, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(E1, Resistance), 22, 23, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(E1, Sim), 24, 25, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(E1, ReceiverTypeCode), 26, 26, Conversion::kDecimal},
    {SEGD_TRACE_FIELD(E1, ConversionFactor), 27, 30, Conversion::kSingle},
};
static_assert(ByteLayoutFits(kExtension1Layout, kTraceExtensionBytes));

constexpr int kUnitChannelTypeByte = 16;
constexpr int kNoiseEliminationByte = 17;
constexpr int kProcessTypeByte = 18;
constexpr int kErrorFlagsByte = 19;

// The filter code field keeps only the first decimal digit of byte 14, so
// 12 and 120 both read as 1.
constexpr CodeRow<int> kFilterTable[] = {
    {0, "None"},
    {1, "Min Phase 0.5 Fn"},
    {2, "Min Phase 0.8 Fn"},
    {3, "Lin Phase 0.5 Fn"},
    {4, "Min Phase 0.8 Fn"},  // the recorder's manual names codes 2 and 4 alike
    {5, "SAR Filter"},
};
constexpr auto kFilterTexts = PadTexts<decltype(E1::FilterText)::kWidth>(kFilterTable, kUnknown);

// Byte 16: the acquisition unit in the high half, the channel in the low.
constexpr CodeRow<int> kUnitTypeTable[] = {
    {0x0, "SU1 or SU6"},
    {0x1, "SAR4 or SAR6"},
};
constexpr auto kUnitTypeTexts = PadTexts<decltype(E1::UnitTypeText)::kWidth>(kUnitTypeTable, kUnknown);
constexpr CodeRow<int> kChannelTypeTable[] = {
    {0x0, "Unused"},
    {0x1, "Seis"},
    {0x3, "Uphole"},
    {0x9, "Signature, Filtered(Aux)"},
};
constexpr auto kChannelTypeTexts = PadTexts<decltype(E1::ChannelTypeText)::kWidth>(kChannelTypeTable, kUnknown);

constexpr CodeRow<int> kNoiseEliminationTable[] = {
    {0x00, "No Noise Elimination"},
    {0x10, "Historic/Zeroing"},
    {0x11, "Historic/Clipping"},
    {0x20, "Diversity Stack"},
};
constexpr auto kNoiseEliminationTexts =
    PadTexts<decltype(E1::NoiseEliminationText)::kWidth>(kNoiseEliminationTable, kUnknown);

constexpr CodeRow<int> kProcessTypeTable[] = {
    {0x00, "None (raw data)"},
    {0x10, "Stack"},
    {0x21, "Correlation before stack"},
    {0x22, "Correlation after stack"},
    {0x31, "Negative time correlation before stack"},
    {0x32, "Negative time correlation after stack"},
    {0x41, "Positive time correlation before stack"},
    {0x42, "Positive time correlation after stack"},
};
constexpr auto kProcessTypeTexts = PadTexts<decltype(E1::ProcessTypeText)::kWidth>(kProcessTypeTable, kUnknown);

// Byte 19: one error flag per bit, most significant first.
struct FlagLayout {
  std::size_t offset;
  std::size_t width;
  std::uint8_t mask;
};
constexpr std::size_t kFlagWidth = 3;  // "Yes", or "No" and a blank
constexpr FlagLayout kErrorFlags[] = {
    {SEGD_TRACE_FIELD(E1, IplsError), 0x80},     {SEGD_TRACE_FIELD(E1, ImpedanceError), 0x40},
    {SEGD_TRACE_FIELD(E1, DeadError), 0x20},     {SEGD_TRACE_FIELD(E1, UnderrunError), 0x10},
    {SEGD_TRACE_FIELD(E1, OverrunError), 0x08},  {SEGD_TRACE_FIELD(E1, OverscaleError), 0x04},
    {SEGD_TRACE_FIELD(E1, DataError), 0x02},     {SEGD_TRACE_FIELD(E1, SyncError), 0x01},
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
constexpr ByteFieldLayout<E2> kExtension2Layout[] = {
    {SEGD_TRACE_FIELD(E2, Easting), 1, 8, Conversion::kDouble},
    {SEGD_TRACE_FIELD(E2, Northing), 9, 16, Conversion::kDouble},
    {SEGD_TRACE_FIELD(E2, Elevation), 17, 20, Conversion::kSingle},
};
static_assert(ByteLayoutFits(kExtension2Layout, kTraceExtensionBytes));

}  // namespace

void DecodeTraceHeader(ByteSpan bytes, TraceHeaderRecord& record) {
  const auto block = FixedBlock<kTraceHeaderBytes>(bytes);
  FillByteFields<kHeaderLayout>(block, record);
  StoreCode(record.TraceEditText, kTraceEditTable, kTraceEditTexts, TrimBlanks(record.TraceEditCode.View()));
}

void DecodeTraceExtension1(ByteSpan bytes, TraceExtension1Record& record) {
  const auto block = FixedBlock<kTraceExtensionBytes>(bytes);
  auto byteAt = [&block](int position) { return block[static_cast<std::size_t>(position - 1)]; };
  FillByteFields<kExtension1Layout>(block, record);

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
  FillByteFields<kExtension2Layout>(block, record);
}

}  // namespace segd
