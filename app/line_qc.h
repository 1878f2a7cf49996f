#pragma once
// Line QC over summary rows: what a crew checks across the records of a line
// rather than inside one. It works on rows only, so rows merged from many
// runs or machines are checked the same way.
#include <cstdint>
#include <string>
#include <vector>

#include "app/summary.h"

namespace segd::app {

struct QcRecordRef {
  std::string path;
  std::string value;  // the file number, time or field value concerned
};

// The cells of a summary row that QC reads: a run keeps one per record, so
// these few texts are all that grows with the number of records.
struct QcRow {
  std::string path, status, fileNumber, date, time;
  std::string format, sampleInterval, recordLength, channelSetLayout;

  static QcRow From(const SummaryRow& row);
  bool Failed() const { return status == "failed"; }
};

struct LineQc {
  std::size_t records = 0;
  std::size_t decoded = 0;  // rows not failed
  std::string firstFileNumber, lastFileNumber;
  struct Duplicate {
    std::int64_t fileNumber = 0;
    std::vector<std::string> paths;
  };
  std::vector<Duplicate> duplicates;
  struct Gap {
    std::int64_t first = 0, last = 0;  // the missing file numbers
  };
  std::vector<Gap> gaps;
  // A record recorded before the record of the next lower file number.
  struct TimeOrder {
    QcRecordRef record, previous;
  };
  std::vector<TimeOrder> timesOutOfOrder;
  // Records whose value of a field differs from the most common one.
  struct Odd {
    std::string field;
    std::string majority;
    std::vector<QcRecordRef> records;
  };
  std::vector<Odd> oddRecords;

  bool HasFindings() const { return !duplicates.empty() || !gaps.empty() || !timesOutOfOrder.empty() || !oddRecords.empty(); }
};

LineQc CheckLine(const std::vector<QcRow>& rows);

// The short QC section for standard error, each line "segdreport: QC: ...".
std::string QcText(const LineQc& qc);
// The QC as one JSON document.
std::string QcJson(const LineQc& qc);

}  // namespace segd::app
