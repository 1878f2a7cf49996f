#pragma once
// Text for the data outputs: every text leaves as UTF-8 without NUL bytes,
// escaped or quoted for its format. Record texts hold the record's own bytes,
// whose 0x80-0xFF are Windows-1252 characters; texts of this machine (paths,
// notices, names) are UTF-8 already and keep every valid sequence.
#include <string>
#include <string_view>

namespace segd::output {

// Appends record bytes as UTF-8: ASCII as it is, 0x80-0xFF as their
// Windows-1252 characters (the five codes that page leaves undefined become
// the control characters U+0081, U+008D, U+008F, U+0090, U+009D), NUL
// bytes dropped.
void AppendRecordText(std::string& out, std::string_view bytes);

// Appends a text of this machine: valid UTF-8 sequences as they are, every
// byte that is not part of one read as Windows-1252 (so the output is UTF-8
// whatever the text holds), NUL bytes dropped.
void AppendHostText(std::string& out, std::string_view text);

enum class Source : bool { Record, Host };

// Appends `text` as a JSON string, quotes included: quote, backslash and
// control characters escaped (\n, \t, ... or \u00XX), the rest converted as
// its source asks.
void AppendJsonString(std::string& out, std::string_view text, Source source);

// True when `text` is a number by JSON's grammar that a double holds, e.g.
// "-12.5", "1.5E+12" (not ".5", "+1", "01", "NaN", "inf", "1E+400").
bool IsJsonNumber(std::string_view text);

// Appends `text` as one CSV field: converted as its source asks, then quoted
// (quotes doubled) when it holds a comma, a quote, CR or LF.
void AppendCsvField(std::string& out, std::string_view text, Source source);

}  // namespace segd::output
