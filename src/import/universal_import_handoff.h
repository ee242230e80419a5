// Hand-off of the closed import file to the host's universal import: the
// stored configuration "ImportMarketgate" is updated with the file and the
// options, the import runs, and the file is deleted.
#pragma once

#include <cstddef>
#include <cstdint>

#include "hostlink/host_abi.h"

struct TakenOverNote;

constexpr const char kImportConfigName[] = "ImportMarketgate";
// The import's result when the hand-off could not be recorded in the note:
// the host's import was not called.
constexpr int32_t kHandOffNotRecorded = INT32_MIN;

// The host's stored configuration of a universal import (1633 bytes). Only
// the fields named here are set; every other byte keeps what the host
// loaded. 16-bit fields are little-endian and unaligned.
#pragma pack(push, 1)
struct UniversalImportConfig {
  uint8_t hostHead[0x14];
  char fileName[0x124 - 0x14];  // full name of the import file, NUL-terminated
  int16_t customerMode;         // code for unrecognised customers
  int16_t field126;             // 3
  int16_t field128;             // 1
  int16_t goodsIdentification;  // how products are recognised
  uint8_t host12C[4];
  int16_t goodsEntry;       // unrecognised products: 0 or 2
  int16_t goodsEntryStore;  // cleared when unrecognised products are not added
  uint8_t host134[0x145 - 0x134];
  int16_t field145;  // 4
  int16_t flags147;  // bit 0 set
  uint8_t hostTail[host_abi::kUniversalImportConfigSize - 0x149];
};
#pragma pack(pop)

static_assert(sizeof(UniversalImportConfig) == host_abi::kUniversalImportConfigSize, "the record is 1633 bytes");
static_assert(offsetof(UniversalImportConfig, fileName) == 0x14, "file name at 0x14");
static_assert(offsetof(UniversalImportConfig, customerMode) == 0x124, "customer mode at 0x124");
static_assert(offsetof(UniversalImportConfig, field126) == 0x126, "3 at 0x126");
static_assert(offsetof(UniversalImportConfig, field128) == 0x128, "1 at 0x128");
static_assert(offsetof(UniversalImportConfig, goodsIdentification) == 0x12A, "identification at 0x12A");
static_assert(offsetof(UniversalImportConfig, goodsEntry) == 0x130, "goods entry at 0x130");
static_assert(offsetof(UniversalImportConfig, goodsEntryStore) == 0x132, "goods entry store at 0x132");
static_assert(offsetof(UniversalImportConfig, field145) == 0x145, "4 at 0x145");
static_assert(offsetof(UniversalImportConfig, flags147) == 0x147, "flags at 0x147");

// The longest full name of the import file the record can carry.
constexpr size_t kImportFileNameMax = sizeof(UniversalImportConfig::fileName) - 1;

// Goods identification code for the record: `Identyfikacja` 1 gives 2, 2
// gives 3, anything else 1.
int goodsIdentificationCode(int identyfikacja);

// Hands the file over. 0 in quiet mode, else the result of the host's
// after-import function; -1 (nothing imported, the file kept) when the name
// does not fit the record. *imported (when given) receives the universal
// import's result: the file is deleted only when that is not negative.
// With a note, the hand-off is recorded in it (on the disk) right before the
// host's import is called; when that fails the import is not called.
int startUniversalImport(const char* path, int identificationCode, int documentKind, int customerMode, int wpisTowar,
                         int32_t* imported = nullptr, TakenOverNote* note = nullptr);
