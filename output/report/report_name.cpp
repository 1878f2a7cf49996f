#include "output/report/report_name.h"

#include <optional>
#include <vector>

namespace segd {

namespace {

// Code page 1252 letters outside A-Z/a-z that have a case partner.
struct CasePair {
  unsigned char upper;
  unsigned char lower;
};
constexpr CasePair kExtraPairs[] = {{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};

// Code page 1252 bytes 0x80-0x9F as characters; 0 where the byte has none.
constexpr char32_t kHighCharacters[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<unsigned char> ToCodePage(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (unsigned i = 0; i < 32; ++i) {
    if (kHighCharacters[i] == c) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

char32_t FromCodePage(unsigned char b) { return b >= 0x80 && b < 0xA0 ? kHighCharacters[b - 0x80] : b; }

// Strict UTF-8: no overlong forms, surrogates or values past U+10FFFF.
std::optional<std::u32string> DecodeUtf8(std::string_view text) {
  std::u32string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) return std::nullopt;
    char32_t c = extra == 0 ? b : b & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = c << 6 | (next & 0x3F);
    }
    constexpr char32_t kLeast[] = {0, 0x80, 0x800, 0x10000};
    if (c < kLeast[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    out.push_back(c);
    i += static_cast<std::size_t>(extra) + 1;
  }
  return out;
}

void AppendUtf8(char32_t c, std::string& out) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
    return;
  }
  const int extra = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
  out.push_back(static_cast<char>(kLead[extra] | (c >> (6 * extra))));
  for (int k = extra - 1; k >= 0; --k) out.push_back(static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F)));
}

// A character through a code page byte function; others unchanged.
char32_t ThroughCodePage(char32_t c, unsigned char (*change)(unsigned char)) {
  const auto b = ToCodePage(c);
  return b ? FromCodePage(change(*b)) : c;
}

bool IsLetter(char32_t c) {
  const auto b = ToCodePage(c);
  return b && IsCodePageLetter(*b);
}

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

std::string ReportBaseNameUtf8(std::string_view typed) {
  const auto decoded = DecodeUtf8(typed);
  if (!decoded) return ReportBaseName(typed);
  std::u32string upper;
  for (char32_t c : *decoded) upper.push_back(ThroughCodePage(c, CodePageUpper));
  std::u32string name;
  for (std::size_t i = 0; i < upper.size();) {
    if (upper.compare(i, 4, U".TXT") == 0) {
      i += 4;
    } else {
      name.push_back(upper[i++]);
    }
  }
  std::string out;
  bool afterNonLetter = true;
  for (char32_t c : name) {
    const bool letter = IsLetter(c);
    if (letter) c = ThroughCodePage(c, afterNonLetter ? CodePageUpper : CodePageLower);
    afterNonLetter = !letter;
    AppendUtf8(c, out);
  }
  return out;
}

bool UsableReportName(std::string_view trimmedName, char separator) {
  const bool windows = separator == '\\';
  if (trimmedName == "..") return false;
  for (char ch : trimmedName) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || c == '/' || c == '\\') return false;
    if (windows && std::string_view("<>:\"|?*").find(ch) != std::string_view::npos) return false;
  }
  if (!windows) return true;
  // Windows takes these names, with any extension, as devices.
  std::string stem = ReportBaseName(trimmedName);
  stem = stem.substr(0, stem.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.pop_back();
  for (char& c : stem) c = static_cast<char>(CodePageUpper(static_cast<unsigned char>(c)));
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL"}) {
    if (stem == device) return false;
  }
  return !(stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) && stem[3] >= '1' &&
           stem[3] <= '9');
}

std::string ReportPath(std::string_view folder, std::string_view trimmedName, char separator) {
  std::string joined(folder);
  joined.push_back(separator);
  joined.append(separator == '/' ? ReportBaseNameUtf8(trimmedName) : ReportBaseName(trimmedName));
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
