// The trace table: its heading for every selection, the column widths it
// sets, and the line rule (trimming, cutting, the blank a full cell gains,
// NUL cells, the six-digit trace number).
#include "output/report/trace_listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/blocks.h"

namespace segd {
namespace {

using testing::ListingLines;

OutputSelection Select(std::initializer_list<int> entries) {
  OutputSelection selection{};
  for (int entry : entries) selection[static_cast<std::size_t>(entry)] = 1;
  return selection;
}

OutputSelection SelectAllColumns() {
  OutputSelection selection{};
  for (int i = 0; i < kTraceColumns; ++i) selection[static_cast<std::size_t>(i)] = 1;
  return selection;
}

std::vector<std::string> Heading(const OutputSelection& selection, TraceFields& fields) {
  return ListingLines([&](ReportWriter& report) { ListTraceHeading(selection, fields, report); });
}

// Column widths as the table of the trace listing gives them.
TraceFields WithWidths() {
  TraceFields fields;
  const OutputSelection none{};
  Heading(none, fields);
  return fields;
}

TEST(ListTraceHeading, NoColumnSelectedGivesSeqAndThreeHyphens) {
  TraceFields fields;
  EXPECT_EQ(Heading(OutputSelection{}, fields), (std::vector<std::string>{"Seq   ", "---   "}));
}

TEST(ListTraceHeading, LinePointChanSetEditedHeading) {
  TraceFields fields;
  const auto lines = Heading(Select({1, 2, 7, 16}), fields);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "Seq   Line      Point     Chan Set  Edited              ");
  EXPECT_EQ(lines[0].size(), 56u);
  EXPECT_EQ(lines[1], "---   " + std::string(50, '-'));
}

TEST(ListTraceHeading, EveryColumnSelected) {
  TraceFields fields;
  const auto lines = Heading(SelectAllColumns(), fields);
  ASSERT_EQ(lines.size(), 2u);
  const std::string titles =
      "Seq   "
      "SU Number Line      Point     Northing      Easting       Elevation Acq Unit Type  Chan Set  Gain      "
      "Filter              Noise Elim Type       Process Type                            Conv Fact      "
      "Rcvr Type      Chan Type                     Timing Word         Edited              TB to TBW           "
      "Num Stks Low        Num Stks Noisy      Res         SIM         IPLS Err  IMPD Err  Dead Err  UDR Err   "
      "OVR Err   OVS Err   Data Err  Sync Err  ";
  EXPECT_EQ(lines[0], titles);
  EXPECT_EQ(lines[1], "---   " + std::string(titles.size() - 6, '-'));
  EXPECT_EQ(titles.size(), 6u + 449u);
}

TEST(ListTraceHeading, SetsEveryWidthWhateverIsSelectedAndLeavesTheRestAlone) {
  const std::int32_t expected[kTraceColumns] = {10, 10, 10, 14, 14, 10, 15, 10, 10, 20, 22, 40, 15, 15, 30,
                                                20, 20, 20, 20, 20, 12, 12, 10, 10, 10, 10, 10, 10, 10, 10};
  for (const OutputSelection& selection : {OutputSelection{}, Select({3}), SelectAllColumns()}) {
    TraceFields fields;
    fields.Width.fill(-7);
    Heading(selection, fields);
    for (int i = 0; i < kTraceColumns; ++i) EXPECT_EQ(fields.Width[static_cast<std::size_t>(i)], expected[i]) << i;
    for (int i = kTraceColumns; i < kSelectionEntries; ++i) EXPECT_EQ(fields.Width[static_cast<std::size_t>(i)], -7) << i;
  }
}

TEST(ListTraceHeading, OnlyEntriesEqualToOneCount) {
  OutputSelection selection{};
  selection[0] = 2;
  selection[1] = -1;
  selection[2] = 1;
  selection[30] = 1;  // a header section, not a column
  TraceFields fields;
  EXPECT_EQ(Heading(selection, fields), (std::vector<std::string>{"Seq   Point     ", "---   ----------"}));
}

std::string Line(std::int32_t number, const OutputSelection& selection, const TraceFields& fields) {
  std::string line = "left over from the previous trace";
  BuildTraceLine(number, selection, fields, line);
  return line;
}

TEST(BuildTraceLine, TraceNumberAloneIsPaddedToSix) {
  const TraceFields fields = WithWidths();
  const std::pair<std::int32_t, std::string> cases[] = {
      {1, "1     "}, {42, "42    "}, {99999, "99999 "}, {100000, "100000 "}, {1234567, "123456"},
  };
  for (const auto& [number, text] : cases) EXPECT_EQ(Line(number, OutputSelection{}, fields), text) << number;
}

TEST(BuildTraceLine, ExampleLineOfLinePointChanSetEdited) {
  TraceFields fields = WithWidths();
  fields.Text[1] = "1001  ";
  fields.Text[2] = "2001  ";
  fields.Text[7] = "01";
  fields.Text[16] = "No edit applied" + std::string(25, ' ');
  const std::string line = Line(1, Select({1, 2, 7, 16}), fields);
  EXPECT_EQ(line, "1     1001      2001      01        No edit applied     ");
  // 1-based characters 7, 17, 27 and 37.
  EXPECT_EQ(line.substr(6, 4), "1001");
  EXPECT_EQ(line.substr(16, 4), "2001");
  EXPECT_EQ(line.substr(26, 2), "01");
  EXPECT_EQ(line.substr(36, 15), "No edit applied");
}

TEST(BuildTraceLine, SixDigitTraceNumberShiftsTheLineByOne) {
  TraceFields fields = WithWidths();
  fields.Text[1] = "1001  ";
  EXPECT_EQ(Line(100000, Select({1}), fields), "100000 1001      ");
  EXPECT_EQ(Line(99999, Select({1}), fields), "99999 1001      ");
}

TEST(BuildTraceLine, CellsAreTrimmedCutOrGivenAnExtraBlank) {
  struct Case {
    const char* what;
    std::string text;
    int column;
    std::string cell;
  };
  const Case cases[] = {
      {"blanks around are trimmed", "  7  ", 1, "7         "},
      {"a text as wide as its column gains a blank", "123456789A", 1, "123456789A "},
      {"a longer text is cut", "Muted or dead prior to acquisition", 16, "Muted or dead prior "},
      {"the other long edit text", "Edited by acquisition system", 16, "Edited by acquisitio"},
      {"NUL characters survive trimming", std::string(10, '\0'), 3, std::string(10, '\0') + "    "},
      {"six NULs in a ten-wide column", std::string(6, '\0'), 5, std::string(6, '\0') + "    "},
      {"an empty text is all blanks", "", 22, std::string(10, ' ')},
      {"blanks only", "   ", 29, std::string(10, ' ')},
  };
  for (const Case& c : cases) {
    TraceFields fields = WithWidths();
    fields.Text[static_cast<std::size_t>(c.column)] = c.text;
    EXPECT_EQ(Line(3, Select({c.column}), fields), "3     " + c.cell) << c.what;
  }
}

TEST(BuildTraceLine, CutEditTextIsFollowedDirectlyByTheNextColumn) {
  TraceFields fields = WithWidths();
  fields.Text[16] = "Muted or dead prior to acquisition      ";
  fields.Text[17] = "12345 ";
  EXPECT_EQ(Line(7, Select({16, 17}), fields), "7     Muted or dead prior 12345               ");
}

TEST(BuildTraceLine, ColumnsFollowIndexOrderAndEntriesThirtyOnAreIgnored) {
  TraceFields fields = WithWidths();
  for (int i = 0; i < kSelectionEntries; ++i) fields.Text[static_cast<std::size_t>(i)] = std::to_string(i);
  OutputSelection selection{};
  selection.fill(1);
  const std::string line = Line(1, selection, fields);
  std::string expected = "1     ";
  const std::int32_t widths[kTraceColumns] = {10, 10, 10, 14, 14, 10, 15, 10, 10, 20, 22, 40, 15, 15, 30,
                                              20, 20, 20, 20, 20, 12, 12, 10, 10, 10, 10, 10, 10, 10, 10};
  for (int i = 0; i < kTraceColumns; ++i) {
    std::string cell = std::to_string(i);
    cell.resize(static_cast<std::size_t>(widths[i]), ' ');
    expected += cell;
  }
  EXPECT_EQ(line, expected);
}

TEST(BuildTraceLine, ReusesTheLineWithoutCarryingAnythingOver) {
  TraceFields fields = WithWidths();
  fields.Text[11] = std::string(40, 'x');
  std::string line;
  BuildTraceLine(1, Select({11}), fields, line);
  EXPECT_EQ(line.size(), 6u + 41u);
  fields.Text[11] = "Stack";
  BuildTraceLine(2, Select({11}), fields, line);
  EXPECT_EQ(line, "2     Stack" + std::string(35, ' '));
}

}  // namespace
}  // namespace segd
