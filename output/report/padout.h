#pragma once
// Column padding: fits a text to a fixed column width for the trace table.
#include <cstdint>
#include <string>
#include <string_view>

namespace segd {

// Trims blanks (code 32 only) from both ends, then cuts the text to `width`
// characters when longer, or appends blanks up to `width`, always at least one.
// A text exactly `width` long therefore comes back `width + 1` long.
// A negative width is treated as 0.
std::string PadOut(std::string_view text, int32_t width);

// Appends the padded cell to `line` without a temporary string (the trace
// walk calls this once per cell).
void AppendPadded(std::string& line, std::string_view text, int32_t width);

// Writes the padded cell at `out`, which must have room for width + 1
// characters (1 for a negative width), and returns the end of the cell.
char* WritePadded(char* out, std::string_view text, int32_t width);

// The same cell over a run of blanks already in place (width + 1 of them):
// only the trimmed text is copied. The trace table fills its line with
// blanks once and writes every cell this way.
char* WritePaddedOverBlanks(char* out, std::string_view text, int32_t width);

}  // namespace segd
