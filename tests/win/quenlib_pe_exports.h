#pragma once
// Reads the export and import tables of a loaded module from its PE headers,
// so that a test sees exactly what a program loading the DLL sees.
#include <windows.h>

#include <string>
#include <vector>

namespace segd::test {

struct ExportTable {
  bool valid = false;
  unsigned functionCount = 0;      // entries of the address table
  std::vector<std::string> names;  // in the table's (sorted) order
};

ExportTable ReadExportTable(HMODULE module);

// Names of the DLLs the module imports from, as written in its import table.
std::vector<std::string> ReadImportedDlls(HMODULE module);

}  // namespace segd::test
