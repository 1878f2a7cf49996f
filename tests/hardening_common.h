#pragma once
// What the hardening tests share: the sample record made once, the exact
// notices of the run, and a selection of every section and column.
#include <cstdint>
#include <string>
#include <vector>

#include "support/fake_host.h"
#include "tools/record_writer.h"
#include "tools/sample_shot.h"

namespace segd::hardening {

struct SampleRecord {
  std::vector<std::uint8_t> bytes;
  writer::RecordLayout layout;
};

// The project's sample record, composed in memory once.
inline const SampleRecord& Sample() {
  static const SampleRecord sample = [] {
    const writer::RecordSpec spec = writer::SampleShot();
    return SampleRecord{writer::Compose(spec), writer::LayoutOf(spec)};
  }();
  return sample;
}

// A decoder's complaint as the run shows it: the 80-character field.
inline std::string Complaint(std::string text) {
  text.resize(80, ' ');
  return text;
}

inline const std::string kManufacturerComplaint = Complaint("The Manufacturer code is not recognised");
inline const std::string kSampleRateComplaint =
    Complaint("Invalid Sample Rate Code - the code to indicate sample rate is not correct");
inline const std::string kRecordTypeComplaint =
    Complaint("Invalid Record Type Code - The code indicating record type should be 2 or 8");
inline std::string FormatComplaint(const std::string& digits) {
  return Complaint(digits + " is an invalid SEGD Format Code. This is not a SEG D File.");
}
inline const std::string kNotSn388 = "Not a valid SN388 File, Decode will continue, but results may not be valid!!";

// Every per-trace column and every header section (entries 0-33).
inline void SelectEverything(OutputSelection& selection) {
  for (int i = 0; i <= kSelectExternalHeader; ++i) selection[static_cast<std::size_t>(i)] = 1;
}

// The notice texts in order.
inline std::vector<std::string> NoticeTexts(const testing::FakeHost& host) {
  std::vector<std::string> texts;
  for (const testing::Notice& n : host.notices) texts.push_back(n.text);
  return texts;
}

// Index of the line after the trace heading ("Seq   ..." and its rule);
// lines.size() when there is no heading.
inline std::size_t FirstTraceLine(const std::vector<std::string>& lines) {
  for (std::size_t i = lines.size(); i-- > 0;) {
    if (lines[i].starts_with("Seq   ")) return i + 2;
  }
  return lines.size();
}

}  // namespace segd::hardening
