#include "output/report/general_headers_listing.h"

#include "scan/makes/sn388/general_header_fields.h"
#include "output/report/listing.h"

namespace segd {

namespace {

using namespace general_fields;

void WriteBlockTitle(ReportWriter& report, std::string_view title) {
  report.WriteLine(title);
  report.WriteLine("======================");
}

}  // namespace

std::int32_t ListGeneralHeaders(const GeneralHeader1Record& block1, const GeneralHeader2Record& block2,
                                const GeneralHeader3Record& block3, ReportWriter& report) {
  WriteBanner(report, "General Headers");
  WriteBlockTitle(report, "General Header Block 1");
  ListFields(report, kBlock1, block1, kLabelColumn);

  report.WriteLine("");
  WriteBlockTitle(report, "General Header Block 2");
  ListFields(report, kBlock2, block2, kLabelColumn);

  report.WriteLine("");
  WriteBlockTitle(report, "General Header Block 3");
  ListFields(report, kBlock3, block3, kLabelColumn);

  report.WriteLine("");
  WriteBanner(report, "End Of General Headers");
  report.WriteLine("");
  return 0;
}

}  // namespace segd
