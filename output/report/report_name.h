#pragma once
// How the report file is named from what the user typed: upper case, every
// ".TXT" removed, then capitalised word-wise ("line 2b" -> "Line 2B"). Letters
// and case follow the Windows ANSI code page 1252 on every build, so both
// programs name a report alike.
#include <string>
#include <string_view>

namespace segd {

bool IsCodePageLetter(unsigned char c);
unsigned char CodePageUpper(unsigned char c);
unsigned char CodePageLower(unsigned char c);

// The name without folder or extension; no trimming here.
std::string ReportBaseName(std::string_view typed);

// The same rule over the characters of a UTF-8 name: those of code page
// 1252 (Latin-1 and its additions) change case as there, others stay as
// they are. A name that is not valid UTF-8 takes the byte rule above.
std::string ReportBaseNameUtf8(std::string_view typed);

// False for a name that would leave the folder or cannot name a file: a
// path separator ("/" or "\"), a ".." name, a control character (below
// 0x20, 0x7F); with `separator` '\' (Windows) also one of <>:"|?* or a
// device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9) as the report's name
// before its first dot.
bool UsableReportName(std::string_view trimmedName, char separator);

// folder + separator + base name + ".Txt", every doubled separator then
// reduced to one, except the pair a network folder starts with. `trimmedName` is the typed name with blanks trimmed.
// With `separator` '/' (Linux) the name is taken as UTF-8.
std::string ReportPath(std::string_view folder, std::string_view trimmedName, char separator);

}  // namespace segd
