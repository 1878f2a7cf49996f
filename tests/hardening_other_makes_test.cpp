// Records of other makes, models and revisions: the scanner names what it
// does not know, leaves the SN388 extended header undecoded (all NUL), walks
// no traces, and never fails otherwise.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "hardening_common.h"

namespace segd {
namespace {

namespace fs = std::filesystem;
using testing::FakeHost;

std::string Nul(std::size_t n) { return std::string(n, '\0'); }

FakeHost ScanEverything(std::vector<std::uint8_t> record) {
  FakeHost host;
  host.record = std::move(record);
  hardening::SelectEverything(host.selection);
  host.Run();
  return host;
}

// The report of a record that is not an SN388's: the preamble carries the
// undecoded extended header's NUL characters, its section lists them, and
// there are no trace lines.
void ExpectUndecodedExtendedHeader(const FakeHost& host) {
  const std::vector<std::string> lines = host.ReportLines();
  ASSERT_GE(lines.size(), 12u);
  EXPECT_EQ(lines[3], "Software Ver   : " + Nul(16));
  EXPECT_EQ(lines[4], "Tape           : " + Nul(16) + Nul(5));
  EXPECT_EQ(lines[7], "Record Length  : " + Nul(5) + "mS");
  EXPECT_EQ(lines[8], "Total Traces   : " + Nul(5));
  EXPECT_EQ(lines[10], "Source Easting : " + Nul(9) + " Source Northing : " + Nul(9) + " Source Elev : " + Nul(5));
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Acquisition Length                   : " + Nul(5)), lines.end());
  EXPECT_EQ(host.ranges, (std::vector<std::pair<std::int32_t, std::int32_t>>{{0, 0}}));
  EXPECT_EQ(hardening::FirstTraceLine(lines), lines.size());
}

struct MakeCase {
  const char* what;
  std::function<void(writer::RecordSpec&)> change;
  std::vector<std::string> notices;
  std::string manufacturerLine;  // the decoded "Manufacturer" line
  std::string systemTypeLine;    // the decoded "System Type" line
};

std::string Field(std::string_view label, std::string text, std::size_t width) {
  text.resize(width, ' ');
  return std::string(label) + text;
}

TEST(OtherMakes, RecordsOfOtherModelsAndMakesAreNamedAndTheirExtendedHeaderLeftUndecoded) {
  constexpr std::string_view kMaker = "Manufacturer                     : ";
  constexpr std::string_view kSystem = "System Type                      : ";
  const MakeCase cases[] = {
      {"Sercel 408UL", [](writer::RecordSpec& s) { s.general1.generalConstants = 1; }, {hardening::kNotSn388},
       Field(kMaker, "Sercel", 20), Field(kSystem, "SN408UL CM408", 30)},
      {"Sercel Seal", [](writer::RecordSpec& s) { s.general1.generalConstants = 2; }, {hardening::kNotSn388},
       Field(kMaker, "Sercel", 20), Field(kSystem, "Seal", 30)},
      {"Sercel 408XL", [](writer::RecordSpec& s) { s.general1.generalConstants = 3; }, {hardening::kNotSn388},
       Field(kMaker, "Sercel", 20), Field(kSystem, "SN408UL CM408XL", 30)},
      {"Sercel model 7", [](writer::RecordSpec& s) { s.general1.generalConstants = 7; }, {hardening::kNotSn388},
       Field(kMaker, "Sercel", 20), Field(kSystem, "Unknown", 30)},
      {"Fairfield", [](writer::RecordSpec& s) { s.general1.manufacturerCode = 20; }, {hardening::kNotSn388},
       Field(kMaker, "Fairfield Industries", 20), std::string(kSystem) + Nul(30)},
      {"a known code without a name", [](writer::RecordSpec& s) { s.general1.manufacturerCode = 21; },
       {hardening::kNotSn388}, Field(kMaker, "", 20), std::string(kSystem) + Nul(30)},
      {"SmartSolo (61)", [](writer::RecordSpec& s) { s.general1.manufacturerCode = 61; },
       {hardening::kManufacturerComplaint, hardening::kNotSn388}, Field(kMaker, "Unknown Manufacturer", 20),
       std::string(kSystem) + Nul(30)},
  };
  for (const MakeCase& c : cases) {
    SCOPED_TRACE(c.what);
    writer::RecordSpec spec = writer::ShotRecord({.auxTraces = 1, .receiverLines = 1, .channelsPerLine = 4, .samplesPerTrace = 10});
    c.change(spec);
    const FakeHost host = ScanEverything(writer::Compose(spec));
    ASSERT_EQ(hardening::NoticeTexts(host), c.notices);
    EXPECT_EQ(host.notices.back().caption, "Invalid File");
    EXPECT_EQ(host.notices.back().kind, NoticeKind::Plain);
    ASSERT_EQ(host.reports.size(), 1u);
    const std::vector<std::string> lines = host.ReportLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.manufacturerLine), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), c.systemTypeLine), lines.end());
    ExpectUndecodedExtendedHeader(host);
  }
}

// A revision 2 general header changes nothing the scanner reads: an SN388
// record that says 2.1 is scanned like any other.
TEST(OtherMakes, ARevisionTwoGeneralHeaderIsShownAndOtherwiseReadAsRevisionOne) {
  writer::RecordSpec spec = writer::ShotRecord({.auxTraces = 1, .receiverLines = 1, .channelsPerLine = 4, .samplesPerTrace = 10});
  spec.general2.revisionMajor = 2;
  spec.general2.revisionMinor = 1;
  const FakeHost host = ScanEverything(writer::Compose(spec));
  EXPECT_TRUE(host.notices.empty());
  const std::vector<std::string> lines = host.ReportLines();
  EXPECT_NE(std::find(lines.begin(), lines.end(), "SEG D Revision Number            : 2.1   "), lines.end());
  EXPECT_EQ(lines.size() - hardening::FirstTraceLine(lines), 5u);
}

// The public records the project carries in tests/data/public (see its README).
struct SampleFile {
  const char* name;
  std::vector<std::string> notices;
  bool report;
  std::string expectedLine;  // a line the report must hold
};

TEST(OtherMakes, PublicRecordsOfOtherMakesGiveTheNoticesTheirHeadersCallFor) {
  const fs::path folder = SEGD_SAMPLES_DIR;
  ASSERT_TRUE(fs::is_directory(folder)) << "no public sample records at " << folder;
  const SampleFile files[] = {
      // Sercel, general constants 2: the Seal model, not an SN388.
      {"su_sercel.segd", {hardening::kNotSn388}, true, "System Type                      : Seal                          "},
      // Manufacturer 61 is not in the table, so no model either.
      {"ph5_smartsolo_453005513.2.segd", {hardening::kManufacturerComplaint, hardening::kNotSn388}, true,
       "Manufacturer                     : Unknown Manufacturer"},
      // Block 1 byte 26 holds 0F: record type 0, which ends the run.
      {"ph5_fairfield_3ch.fcnt", {hardening::kRecordTypeComplaint}, false, ""},
  };
  for (const SampleFile& f : files) {
    SCOPED_TRACE(f.name);
    std::ifstream in(folder / f.name, std::ios::binary);
    if (!in) {
      ADD_FAILURE() << "sample record missing from " << folder;
      continue;
    }
    const FakeHost host = ScanEverything({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
    EXPECT_EQ(hardening::NoticeTexts(host), f.notices);
    ASSERT_EQ(host.reports.size(), f.report ? 1u : 0u);
    if (!f.report) continue;
    const std::vector<std::string> lines = host.ReportLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), f.expectedLine), lines.end());
    ExpectUndecodedExtendedHeader(host);
  }
}

}  // namespace
}  // namespace segd
