#pragma once
// Line QC over summary rows: what a crew checks across the records of a line
// rather than inside one. It works on rows only, so rows merged from many
// runs or machines are checked the same way, whatever their order.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/summary.h"

namespace segd::app {

// The cells of a summary row that QC reads: a run keeps one per record, so
// these few texts are all that grows with the number of records.
struct QcRow {
  std::string path, status, problems, fileNumber, date, time, gpsTime;
  std::string format, sampleInterval, recordLength, channelSetLayout;
  std::string sourceLine, sourcePoint, sourceX, sourceY;  // source_x, source_y: easting, northing

  static QcRow From(const SummaryRow& row);
  bool Failed() const { return status == "failed"; }
};

// A record a finding names: its path, file number and recording time (ISO
// 8601 UTC; absent when the record gives none), and the value concerned.
struct QcRecordRef {
  std::string path;
  std::optional<std::int64_t> fileNumber;
  std::optional<std::string> recorded;
  std::string value;
};

struct QcSettings {
  double timeJumpSeconds = 86400;       // a larger step between neighbours in file number order is a finding
  std::optional<std::int64_t> nowMicros;  // "in the future" is after this (default: the clock)
};

struct LineQc {
  std::size_t records = 0;
  std::size_t decoded = 0;  // rows not failed
  std::optional<std::int64_t> firstFileNumber, lastFileNumber;
  std::vector<QcRecordRef> failed;  // value: the reason
  struct Duplicate {
    std::int64_t fileNumber = 0;
    std::vector<std::string> paths;
  };
  std::vector<Duplicate> duplicates;
  struct Gap {
    std::int64_t first = 0, last = 0;  // the missing file numbers
  };
  std::vector<Gap> gaps;
  // Records outside the longest run whose times go forward with the file
  // number: the ones out of place, not their neighbours.
  std::vector<QcRecordRef> timesOutOfOrder;
  struct Jump {
    QcRecordRef from, to;
    double seconds = 0;
  };
  std::vector<Jump> timeJumps;         // between neighbours of that run
  std::vector<QcRecordRef> implausibleTimes;  // value: "before 1980" or "in the future"
  std::vector<QcRecordRef> gpsTimeDiffers;    // value: the GPS time; differs by more than a second
  std::vector<QcRecordRef> lengthMismatch;    // value: "record_length_ms 1000, samples 300 x 4 ms"
  struct Repeated {
    std::string position;  // "line 3061 point 2025" or "easting 513568.7 northing 6543518.2"
    std::vector<QcRecordRef> records;
  };
  std::vector<Repeated> repeatedSources;
  // A field whose values differ between records: the majority (a value held
  // by more than half of the decoded records) and the records that differ
  // from it, or, with no majority, every value and how many hold it.
  struct Odd {
    std::string field;
    std::optional<std::string> majority;
    std::vector<std::pair<std::string, std::size_t>> values;  // no majority: value -> records
    std::vector<QcRecordRef> records;                         // with a majority: the records differing
  };
  std::vector<Odd> oddRecords;

  bool HasFindings() const {
    return !failed.empty() || !duplicates.empty() || !gaps.empty() || !timesOutOfOrder.empty() || !timeJumps.empty() ||
           !implausibleTimes.empty() || !gpsTimeDiffers.empty() || !lengthMismatch.empty() ||
           !repeatedSources.empty() || !oddRecords.empty();
  }
};

LineQc CheckLine(const std::vector<QcRow>& rows, const QcSettings& settings = {});

// The short QC section for standard error, each line "segdreport: QC: ...".
std::string QcText(const LineQc& qc);
// The QC as one JSON document (docs/schema/qc.schema.json).
std::string QcJson(const LineQc& qc);

}  // namespace segd::app
