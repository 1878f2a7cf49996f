#include "scan/makes/manufacturers.h"

#include "scan/convert/code_tables.h"

namespace segd::generic {

namespace {

struct Maker {
  int code;
  std::string_view name;
};

// The codes the record makes of today write; SmartSolo's 61 is as its
// recorders write it. Other codes take the names of the SN388 code table.
constexpr Maker kMakers[] = {{13, "Sercel"}, {20, "Fairfield"}, {61, "SmartSolo"}};

}  // namespace

std::string_view ManufacturerName(int code) {
  for (const Maker& m : kMakers) {
    if (m.code == code) return m.name;
  }
  if (const std::string_view* name = FindManufacturer(code)) return *name;
  return {};
}

}  // namespace segd::generic
