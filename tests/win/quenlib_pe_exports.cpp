#include "quenlib_pe_exports.h"

namespace segd::test {

namespace {

const IMAGE_NT_HEADERS32* NtHeaders(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  if (base == nullptr) return nullptr;
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
  if (nt->Signature != IMAGE_NT_SIGNATURE ||
      nt->OptionalHeader.Magic != IMAGE_NT_OPTIONAL_HDR32_MAGIC) {
    return nullptr;
  }
  return nt;
}

const IMAGE_DATA_DIRECTORY* Directory(HMODULE module, int entry) {
  const IMAGE_NT_HEADERS32* nt = NtHeaders(module);
  if (nt == nullptr || nt->OptionalHeader.NumberOfRvaAndSizes <= static_cast<DWORD>(entry)) {
    return nullptr;
  }
  return &nt->OptionalHeader.DataDirectory[entry];
}

}  // namespace

ExportTable ReadExportTable(HMODULE module) {
  ExportTable table;
  const IMAGE_DATA_DIRECTORY* dir = Directory(module, IMAGE_DIRECTORY_ENTRY_EXPORT);
  if (dir == nullptr) return table;
  table.valid = true;
  if (dir->VirtualAddress == 0 || dir->Size == 0) return table;
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir->VirtualAddress);
  table.functionCount = exports->NumberOfFunctions;
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    table.names.emplace_back(reinterpret_cast<const char*>(base + names[i]));
  }
  return table;
}

std::vector<std::string> ReadImportedDlls(HMODULE module) {
  std::vector<std::string> dlls;
  const IMAGE_DATA_DIRECTORY* dir = Directory(module, IMAGE_DIRECTORY_ENTRY_IMPORT);
  if (dir == nullptr || dir->VirtualAddress == 0) return dlls;
  const auto* base = reinterpret_cast<const BYTE*>(module);
  for (const auto* entry =
           reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + dir->VirtualAddress);
       entry->Name != 0; ++entry) {
    dlls.emplace_back(reinterpret_cast<const char*>(base + entry->Name));
  }
  return dlls;
}

}  // namespace segd::test
