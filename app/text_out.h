#pragma once
// Text as the summary and QC outputs print it: record bytes converted to
// UTF-8 and CSV cells quoted. Kept here until the data outputs' own text
// helpers are shared; one place to swap.
#include <string>
#include <string_view>

namespace segd::app {

// Record text bytes 0x80-0xFF read as Windows-1252 characters, in UTF-8; NUL
// bytes dropped. Text that is already valid UTF-8 is kept as it is, so cells
// read back from a summary file are not converted twice.
std::string RecordTextToUtf8(std::string_view bytes);

// One CSV cell: quoted (RFC 4180) when it holds a comma, quote, CR or LF.
void AppendCsvCell(std::string& line, std::string_view cell);

}  // namespace segd::app
