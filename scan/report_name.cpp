#include "scan/report_name.h"

namespace segd {

namespace {

// Code page 1252 letters outside A-Z/a-z that have a case partner.
struct CasePair {
  unsigned char upper;
  unsigned char lower;
};
constexpr CasePair kExtraPairs[] = {{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};

}  // namespace

bool IsCodePageLetter(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
  if (c >= 0xC0 && c != 0xD7 && c != 0xF7) return true;
  switch (c) {
    case 0x83: case 0x8A: case 0x8C: case 0x8E: case 0x9A: case 0x9C: case 0x9E: case 0x9F:
    case 0xAA: case 0xB5: case 0xBA:
      return true;
    default:
      return false;
  }
}

unsigned char CodePageUpper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 32);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 32);
  for (const CasePair& p : kExtraPairs) {
    if (c == p.lower) return p.upper;
  }
  return c;
}

unsigned char CodePageLower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  for (const CasePair& p : kExtraPairs) {
    if (c == p.upper) return p.lower;
  }
  return c;
}

std::string ReportBaseName(std::string_view typed) {
  std::string upper;
  upper.reserve(typed.size());
  for (char c : typed) upper.push_back(static_cast<char>(CodePageUpper(static_cast<unsigned char>(c))));

  // Every ".TXT", wherever it stands; removing one can join no new one, as
  // the removal is done left to right over the original text.
  std::string name;
  name.reserve(upper.size());
  for (std::size_t i = 0; i < upper.size();) {
    if (upper.compare(i, 4, ".TXT") == 0) {
      i += 4;
    } else {
      name.push_back(upper[i++]);
    }
  }

  bool afterNonLetter = true;
  for (char& c : name) {
    const auto u = static_cast<unsigned char>(c);
    const bool letter = IsCodePageLetter(u);
    if (letter) c = static_cast<char>(afterNonLetter ? CodePageUpper(u) : CodePageLower(u));
    afterNonLetter = !letter;
  }
  return name;
}

std::string ReportPath(std::string_view folder, std::string_view trimmedName, char separator) {
  std::string joined(folder);
  joined.push_back(separator);
  joined.append(ReportBaseName(trimmedName));
  joined.append(".Txt");
  std::string path;
  path.reserve(joined.size());
  std::size_t i = 0;
  // A network folder (\\server\share) keeps the two separators it starts
  // with; reducing them would put the report on the current drive.
  if (folder.size() >= 2 && folder[0] == separator && folder[1] == separator) {
    path.append(2, separator);
    i = 2;
  }
  for (; i < joined.size(); ++i) {
    // Each pair is reduced once: three separators in a row become two.
    if (joined[i] == separator && i + 1 < joined.size() && joined[i + 1] == separator) {
      path.push_back(separator);
      ++i;
    } else {
      path.push_back(joined[i]);
    }
  }
  return path;
}

}  // namespace segd
