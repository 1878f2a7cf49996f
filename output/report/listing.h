#pragma once
// Pieces every section listing shares: the separator, banners and labelled
// field lines.
#include <string_view>

#include "output/report/report_writer.h"

namespace segd {

inline constexpr std::string_view kSeparator =
    "-----------------------------------------------------------------------------------------";
static_assert(kSeparator.size() == 89);

// Separator, title, separator.
inline void WriteBanner(ReportWriter& report, std::string_view title) {
  report.WriteLine(kSeparator);
  report.WriteLine(title);
  report.WriteLine(kSeparator);
}

// A label (already padded to its column and ending in ": ") followed by the
// value at its full width.
inline void WriteField(ReportWriter& report, std::string_view label, std::string_view value) {
  report.Write(label);
  report.WriteLine(value);
}

// A blank line, "Decoded Fields" and its underline.
inline void WriteDecodedFieldsHeading(ReportWriter& report) {
  report.WriteLine("");
  report.WriteLine("Decoded Fields");
  report.WriteLine("--------------");
}

}  // namespace segd
