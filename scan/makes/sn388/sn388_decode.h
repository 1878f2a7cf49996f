#pragma once
// The headers of an SN388 record decoded in file order, for the report run
// and the record model alike: general header blocks 1 to 3, the channel set
// headers, the extended and the external header, and where the traces start.
#include <cstdint>
#include <vector>

#include "scan/io/byte_source.h"
#include "scan/makes/sn388/channel_set.h"
#include "scan/makes/sn388/extended_header.h"
#include "scan/makes/sn388/external_header.h"
#include "scan/makes/sn388/general_header1.h"
#include "scan/makes/sn388/general_header23.h"
#include "scan/model/notice_sink.h"

namespace segd {

// The decoded records of one run, each created full of NUL.
struct Sn388Headers {
  GeneralHeader1Record general1{};
  GeneralHeader2Record general2{};
  GeneralHeader3Record general3{};
  std::vector<ChannelSetRecord> channelSets;
  ExtendedHeaderRecord extended{};
  ExternalHeaderRecord external{};
  std::int32_t channelSetCount = 0;
  std::int64_t firstTraceOffset = 0;  // 0-based offset of the first trace header
  std::uint64_t externalHeaderBytes = 0;  // its whole length as the headers give it

  // Block 1 names the SN388 recorder (the extended header is its own then).
  bool IsSn388() const;
  // The walk's counts, from the extended header.
  std::int32_t SamplesPerTrace() const;
  std::int32_t TotalTraces() const;
  std::int32_t TraceExtensions() const;
};

// Decodes the headers from the start of `record`, showing each complaint
// (and, for a record of another recorder, that it may not be valid) through
// `notices` as it arises. False when the record must not be scanned further.
bool DecodeSn388Headers(ByteSource& record, Sn388Headers& headers, NoticeSink& notices);

}  // namespace segd
