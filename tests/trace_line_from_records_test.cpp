// The walk builds each line straight from the decoded records: it must give
// the line the column texts give, for any record contents and any widths,
// and extension 1 decides the conversion factor from its bytes as the
// reading of its text would.
#include <gtest/gtest.h>

#include <bit>
#include <iterator>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "scan/io/byte_source.h"
#include "scan/convert/conversions.h"
#include "output/report/trace_listing.h"
#include "output/report/trace_texts.h"
#include "scan/makes/sn388/trace_walk.h"
#include "support/blocks.h"

namespace segd {
namespace {

TEST(TraceLineBuilder, GivesTheLineOfTheColumnTextsForAnyRecordsAndWidths) {
  std::mt19937 random(388);
  TraceFields fields;
  OutputSelection all{};
  for (int i = 0; i < kTraceColumns; ++i) all[static_cast<std::size_t>(i)] = 1;
  testing::ListingLines([&](ReportWriter& report) { ListTraceHeading(all, fields, report); });
  const auto tableWidths = fields.Width;
  for (int round = 0; round < 3000; ++round) {
    TraceRecords records;
    if (round % 2 == 0) {
      // Decoded from random header bytes, with one or two extensions.
      std::vector<std::uint8_t> bytes(84);
      for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
      MemoryByteSource source(bytes);
      std::int64_t position = 1;
      ReadTraceRecords(source, 0, position, round % 4 == 0 ? 2 : 1, records);
    } else {
      // Any characters: leading blanks, full and over-full cells, NULs.
      char* chars = reinterpret_cast<char*>(&records);
      for (std::size_t i = 0; i < sizeof records; ++i) chars[i] = " \0ab"[random() % (round % 3 == 0 ? 2 : 4)];
    }
    // The table's widths, or widths changed after the heading.
    fields.Width = tableWidths;
    if (round % 5 == 4) {
      for (auto& w : fields.Width) w = static_cast<std::int32_t>(random() % 46) - 3;
    }
    OutputSelection selection{};
    for (auto& entry : selection) entry = round % 7 == 0 ? 1 : static_cast<std::int32_t>(random() % 2);
    SetTraceTexts(records, fields);
    std::string expected, line;
    BuildTraceLine(round * 37, selection, fields, expected);
    TraceLineBuilder(selection, fields).Build(round * 37, records, line);
    ASSERT_EQ(line, expected) << "round " << round;
  }
}

TEST(DecodeTraceExtension1, ConversionFactorIsOneExactlyWhenItsTextReadsAsZero) {
  const float specials[] = {0.0f, -0.0f, std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::signaling_NaN(), std::numeric_limits<float>::denorm_min(),
                            -std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max(), 1.0f, 3.0e-7f};
  std::mt19937 random(30);
  for (int i = 0; i < 2000; ++i) {
    const std::uint32_t bits = i < static_cast<int>(std::size(specials))
                                   ? std::bit_cast<std::uint32_t>(specials[i])
                                   : (i % 3 == 0 ? (random() | 0x7F800000u) : static_cast<std::uint32_t>(random()));
    std::uint8_t block[32] = {};
    for (int b = 0; b < 4; ++b) block[26 + b] = static_cast<std::uint8_t>(bits >> (24 - 8 * b));
    TraceExtension1Record record;
    DecodeTraceExtension1(ByteSpan(block), record);
    TextField<15> expected;
    expected.Store(BytesToSingleText(ByteSpan(block + 26, 4)));
    if (DigitValue(expected.View()) == 0) expected.Store("1");
    ASSERT_EQ(record.ConversionFactor.View(), expected.View()) << std::hex << bits;
  }
}

}  // namespace
}  // namespace segd
