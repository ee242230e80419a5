// The hand-off of the import file to the host's universal import.
#include "import/universal_import_handoff.h"

#include <cstdio>
#include <cstring>

#include "hostlink/host_services.h"
#include "import/taken_over_note.h"
#include "platform/windows_api.h"

namespace {

constexpr char kFileNameTooLong[] =
    "Pe\x92na nazwa pliku marketgate.edi jest za d\x92uga dla importu uniwersalnego. "
    "Plik nie zosta\x92 zaimportowany.";

void setGoodsEntry(UniversalImportConfig& config, int wpisTowar) {
  if (wpisTowar == 0) {
    config.goodsEntry = 0;
    config.goodsEntryStore = 0;
  } else if (wpisTowar == 1) {
    config.goodsEntry = 2;
  }
}

void fillConfig(UniversalImportConfig& config, const char* path, int identificationCode, int customerMode,
                int wpisTowar) {
  config.customerMode = static_cast<int16_t>(customerMode);
  config.field126 = 3;
  config.field128 = 1;
  config.goodsIdentification = static_cast<int16_t>(identificationCode);
  setGoodsEntry(config, wpisTowar);
  config.field145 = 4;
  config.flags147 = static_cast<int16_t>(config.flags147 | 1);
  hostBoundedCopy(config.fileName, path, static_cast<int32_t>(kImportFileNameMax));
}

// A wait notice for one step, held a second unless the host is quiet.
void pauseWithNotice(const char* text, bool quiet) {
  showWaitNotice(text);
  if (!quiet) Sleep(1000);
  removeWaitNotice();
}

uint32_t documentKindMask(int documentKind) {
  switch (documentKind) {
    case 4:
      return 0x8000;
    case 2:
      return 0x40;
    case 0:
      return 0x20000;
    default:
      return 3;
  }
}

int32_t afterImportCode(int documentKind) {
  if (documentKind == 4) return 805;
  if (documentKind == 0) return 801;
  return 24;
}

}  // namespace

int goodsIdentificationCode(int identyfikacja) {
  if (identyfikacja == 1) return 2;
  if (identyfikacja == 2) return 3;
  return 1;
}

int startUniversalImport(const char* path, int identificationCode, int documentKind, int customerMode, int wpisTowar,
                         int32_t* imported, TakenOverNote* note) {
  if (imported != nullptr) *imported = -1;
  if (path == nullptr || std::strlen(path) > kImportFileNameMax) {
    hostMessage(kFileNameTooLong);
    return -1;
  }
  UniversalImportConfig config;
  std::memset(&config, 0, sizeof config);
  hostLoadImportConfig(&config, kImportConfigName);
  fillConfig(config, path, identificationCode, customerMode, wpisTowar);

  bool quiet = hostQuietMode();
  showWaitNotice("Zapisywanie konf. sklepu");
  hostSaveImportConfig(&config, kImportConfigName);
  if (!quiet) Sleep(1000);
  removeWaitNotice();
  pauseWithNotice("Import uniwersalny", quiet);

  if (note != nullptr && !noteHandOffBegun(*note)) {
    if (imported != nullptr) *imported = kHandOffNotRecorded;
    return -1;
  }

  int32_t result = hostRunUniversalImport(quiet ? 1 : 0, kImportConfigName, documentKindMask(documentKind));
  if (imported != nullptr) *imported = result;
  // A file the host did not take is the only record of its orders.
  if (result >= 0) std::remove(path);
  if (quiet) return 0;
  return hostAfterImport(afterImportCode(documentKind));
}
