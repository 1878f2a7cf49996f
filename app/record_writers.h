#pragma once
// The per-record data files of a batch. A stand-in until the data outputs'
// own CSV and JSON writers are shared: the trace table as CSV, and the
// record's identity, integrity, notices and trace table as JSON. The one
// place to swap them.
#include <memory>

#include "app/safe_file.h"
#include "scan/record_model.h"

namespace segd::app {

enum class RecordWriterKind { Csv, Json };

std::unique_ptr<model::RecordConsumer> MakeRecordWriter(RecordWriterKind kind, SafeFile& file);

}  // namespace segd::app
