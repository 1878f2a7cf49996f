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

// folder + separator + base name + ".Txt", every doubled separator then
// reduced to one, except the pair a network folder starts with. `trimmedName` is the typed name with blanks trimmed.
std::string ReportPath(std::string_view folder, std::string_view trimmedName, char separator);

}  // namespace segd
