// Empties and restores entries of the host module's own export address table
// (see withheld_exports.h).
#include "core/withheld_exports.h"

#include <windows.h>

#include <map>

namespace standin {
namespace {

// The export address table of the module this code is part of.
struct ExportTable {
  DWORD* addresses = nullptr;
  DWORD base = 0;
  DWORD count = 0;
};

ExportTable ownExportTable() {
  ExportTable table;
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          reinterpret_cast<LPCSTR>(&ownExportTable), &module)) {
    return table;
  }
  auto* image = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(image);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(image + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& entry = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  if (entry.VirtualAddress == 0) return table;
  auto* exports = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(image + entry.VirtualAddress);
  table.addresses = reinterpret_cast<DWORD*>(image + exports->AddressOfFunctions);
  table.base = exports->Base;
  table.count = exports->NumberOfFunctions;
  return table;
}

// Original entries of the ordinals emptied so far.
std::map<unsigned, DWORD>& emptied() {
  static std::map<unsigned, DWORD> entries;
  return entries;
}

bool writeEntry(DWORD* entry, DWORD value) {
  DWORD previous = 0;
  if (!VirtualProtect(entry, sizeof *entry, PAGE_READWRITE, &previous)) return false;
  *entry = value;
  VirtualProtect(entry, sizeof *entry, previous, &previous);
  return true;
}

}  // namespace

void syncWithheldExports(const std::set<unsigned>& withheld) {
  const ExportTable table = ownExportTable();
  if (table.addresses == nullptr) return;
  auto& saved = emptied();
  for (auto it = saved.begin(); it != saved.end();) {
    if (withheld.count(it->first) == 0 && writeEntry(&table.addresses[it->first - table.base], it->second)) {
      it = saved.erase(it);
    } else {
      ++it;
    }
  }
  for (unsigned ordinal : withheld) {
    if (ordinal < table.base || ordinal - table.base >= table.count || saved.count(ordinal) != 0) continue;
    DWORD* entry = &table.addresses[ordinal - table.base];
    if (*entry == 0) continue;
    DWORD original = *entry;
    if (writeEntry(entry, 0)) saved[ordinal] = original;
  }
}

}  // namespace standin
