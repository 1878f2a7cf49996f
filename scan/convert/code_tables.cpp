#include "scan/convert/code_tables.h"

namespace segd {

namespace {

// In the order they are tried.
constexpr FormatCodeRow kFormats[] = {
    {"0015", "20 Bit Binary MUX"},
    {"0022", "8 Bit Quaternary MUX"},
    {"0024", "16 Bit Quaternary MUX"},
    {"0042", "8 Bit Hexadecimal MUX"},
    {"0044", "16 Bit Hexadecimal MUX"},
    {"0048", "32 Bit Hexadecimal MUX"},
    {"8015", "20 Bit Binary DeMUX"},
    {"8022", "8 Bit Quaternary DeMUX"},
    {"8024", "16 Bit Qauternary DeMUX"},
    {"8042", "8 Bit Hexadecimal DeMUX"},
    {"8044", "16 Bit Hexadecimal DeMUX"},
    {"8048", "32 Bit Hexadecimal DeMUX"},
    {"0036", "24 Bit 2's Comp Integer MUX"},
    {"0038", "32 Bit 2's Comp Integer MUX"},
    {"0058", "32 Bit IEEE MUX"},
    {"8036", "24 Bit 2's Comp Integer DeMUX"},
    {"8038", "32 Bit 2's Comp Integer DeMUX"},
    {"8058", "32 Bit IEEE DeMUX"},
    {kVqc88FormatCode, "Sercel VQC-88"},
};

// Manufacturer codes 1 to 40; an empty name is a known code without one.
constexpr std::string_view kManufacturers[] = {
    "Alpine",
    "Applied Magnetics Corp",
    "Western Geo",
    "SIE",
    "Dyna-Tronics",
    "Electronic Instrumentation",
    "Halliburton (Geosource)",
    "Fortune Electronics",
    "Geospace",
    "Leach Corporation",
    "Metrix Instrument Co.",
    "Redcor Corporation",
    "Sercel",
    "SDS",
    "Halliburton (TI)",
    "F/N",
    "GUS",
    "I/O",
    "Geco-Prakla",
    "Fairfield Industries",
    "",
    "Geco Prakla",
    "", "", "", "", "", "", "", "",
    "Japex",
    "Halliburton",
    "Compuseis",
    "Syntron US",
    "Syntron Europe",
    "Opseis",
    "", "",
    "Grant Geophysical",
    "Geo-X",
};
static_assert(sizeof kManufacturers / sizeof kManufacturers[0] == 40);

// Sercel models by the general constants of block 1.
constexpr std::string_view kSercelModels[] = {"SN388", "SN408UL CM408", "Seal", "SN408UL CM408XL"};

struct SampleRateRow {
  std::string_view code;
  std::string_view milliseconds;
};
constexpr SampleRateRow kSampleRates[] = {
    {"04", "0.25"}, {"08", "0.5"}, {"10", "1"}, {"20", "2"}, {"40", "4"},
};

struct RecordTypeRow {
  int code;
  std::string_view name;
};
constexpr RecordTypeRow kRecordTypes[] = {{2, "Test"}, {8, "Normal"}};

}  // namespace

const FormatCodeRow* FindFormatCode(std::string_view digits) {
  for (const FormatCodeRow& row : kFormats) {
    if (row.code == digits) return &row;
  }
  return nullptr;
}

const std::string_view* FindManufacturer(double code) {
  for (int i = 0; i < 40; ++i) {
    if (code == i + 1) return &kManufacturers[i];
  }
  return nullptr;
}

std::string_view RecorderModel(double generalConstants) {
  for (int i = 0; i < 4; ++i) {
    if (generalConstants == i) return kSercelModels[i];
  }
  return "Unknown";
}

const std::string_view* FindSampleRate(std::string_view digits) {
  for (const SampleRateRow& row : kSampleRates) {
    if (row.code == digits) return &row.milliseconds;
  }
  return nullptr;
}

const std::string_view* FindRecordType(double code) {
  for (const RecordTypeRow& row : kRecordTypes) {
    if (code == row.code) return &row.name;
  }
  return nullptr;
}

}  // namespace segd
