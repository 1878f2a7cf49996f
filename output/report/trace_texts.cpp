#include "output/report/trace_texts.h"

namespace segd {

namespace {

std::int32_t Read(ByteSource& record, std::int32_t samplesPerTrace, std::int64_t& position,
                  std::int32_t extensionCount, TraceFields& fields, std::uint8_t* headerCopy) {
  TraceRecords records;
  ReadTraceRecords(record, samplesPerTrace, position, extensionCount, records, headerCopy);
  SetTraceTexts(records, fields);
  return 0;
}

}  // namespace

void SetTraceTexts(const TraceRecords& records, TraceFields& fields) {
  const char* const texts = reinterpret_cast<const char*>(&records);
  for (std::size_t i = 0; i < kTraceColumns; ++i) {
    fields.Text[i].assign(texts + kTraceColumnTable[i].offset, kTraceColumnTable[i].textWidth);
  }
}

std::int32_t ReadTrace(ByteSource& record, std::int32_t samplesPerTrace, std::int64_t& position,
                       std::int32_t extensionCount, TraceFields& fields) {
  return Read(record, samplesPerTrace, position, extensionCount, fields, nullptr);
}

std::int32_t ReadTrace(ByteSource& record, std::int32_t samplesPerTrace, std::int64_t& position,
                       std::int32_t extensionCount, TraceFields& fields,
                       std::array<std::uint8_t, kTraceHeaderBytes>& headerBytes) {
  return Read(record, samplesPerTrace, position, extensionCount, fields, headerBytes.data());
}

}  // namespace segd
