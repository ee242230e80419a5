// The import run: status list, options dialog, the page loop over the
// orders of the chosen status, and the hand-off of the written file.
#include "import/import_run.h"

#include <cstring>

#include "hostlink/host_abi.h"
#include "hostlink/host_services.h"
#include "import/import_file.h"
#include "import/order_translation.h"
#include "import/universal_import_handoff.h"
#include "service/api_session.h"
#include "service/service_requests.h"
#include "settings/import_settings.h"
#include "settings/marketgate_status.h"
#include "settings/order_status_list.h"

namespace {

constexpr char kStatusListFailed[] = "Pobieranie listy status\xA2w nie powiod\x92o si\x91";
constexpr char kOpenFailed[] = "B\x92\x86" "d otwarcia pliku marketgate.edi do zapisu!";
constexpr char kOrdersFailed[] = "Pobieranie zam\xA2wie\xA4 nie powiod\x92o si\x91.";
constexpr char kStatusGone[] =
    "Wybrany status zam\xA2wie\xA4 do importu nie istnieje ju\xA7 w Marketgate. "
    "Wybierz go ponownie w opcjach importu.";
constexpr char kStoppedEarly[] =
    "Import zam\xA2wie\xA4 przerwany: serwis Marketgate nie odpowiada poprawnie. "
    "Zam\xA2wienia pobrane do tej chwili zostan\x86 zaimportowane.";
constexpr char kDirectoryTooLong[] =
    "\x98" "cie\xA7ka katalogu roboczego jest za d\x92uga dla pliku marketgate.edi. "
    "Import nie zosta\x92 rozpocz\x91ty.";

constexpr size_t kFileNameBufferSize = 300;

// Fetches the service's statuses into the object; false (the user told)
// when the request failed.
bool fetchStatusList(MarketgateStatus& object, const ApiSession& session) {
  char* reply = nullptr;
  int ok = requestOrderStatusList(session, &reply);
  if (!ok || reply == nullptr) {
    hostRelease(reply);
    hostMessage(kStatusListFailed);
    return false;
  }
  decodeOrderStatusList(object.statusList, reply);
  hostRelease(reply);
  return true;
}

// The id of the status whose orders are imported; false when the stored
// position is not in the fetched list.
bool importedStatusId(MarketgateStatus& object, int32_t& statusId) {
  loadSettings(object);
  const OrderStatus* status = statusAt(object.statusList, object.settings.StatusWePoz);
  if (status == nullptr) return false;
  statusId = status->id;
  return true;
}

// The import file's full name in the working directory; false (the user
// told) when it would not fit the name buffer and the import record.
bool importFileName(char* name) {
  const char* directory = hostWorkingDirectory();
  size_t longest = std::strlen(directory) + 1 + std::strlen(kImportFileName);
  if (longest > kImportFileNameMax || longest >= kFileNameBufferSize) {
    hostMessage(kDirectoryTooLong);
    return false;
  }
  hostBoundedCopy(name, directory, static_cast<int32_t>(kFileNameBufferSize - 1));
  hostAppendToPath(name, kImportFileName);
  return true;
}

// Opens the file through a host file holder, from which the run takes the
// handle back as its sole owner.
void* openImportFile(const char* name) {
  host_abi::HostObjectStorage holder;
  hostFileHolderConstruct(&holder, hostOpenFile(name, "wt"));
  void* file = hostFileHolderGiveUp(&holder);
  hostFileHolderDestroy(&holder);
  return file;
}

enum class PageResult { Done, Next, Failed };

// Fetches and translates one page starting at *pageDate; on Next, *pageDate
// is where the following page starts.
PageResult importPage(MarketgateStatus& object, const ApiSession& session, void* file, SeenOrders& seen,
                      int32_t* pageDate) {
  int32_t statusId = 0;
  if (!importedStatusId(object, statusId)) return PageResult::Failed;
  char* reply = nullptr;
  int ok = requestOrders(session, statusId, &reply, *pageDate);
  if (!ok || reply == nullptr) {
    hostRelease(reply);
    hostMessage(kOrdersFailed);
    return PageResult::Failed;
  }
  int32_t nextPageDate = 0;
  loadSettings(object);
  size_t known = seen.ids.size();
  int result = translateOrders(reply, file, object.settings.ZamowieniaCzyParagony, object.settings.EanCzySku,
                               &nextPageDate, &seen);
  hostRelease(reply);
  if (result != 0) return PageResult::Failed;
  // A full page that brought nothing new would only come back again.
  if (nextPageDate == 0 || seen.ids.size() == known) return PageResult::Done;
  *pageDate = nextPageDate;
  return PageResult::Next;
}

// The page loop; false when a page failed all its attempts.
bool importPages(MarketgateStatus& object, const ApiSession& session, void* file) {
  SeenOrders seen;
  int32_t pageDate = 0;
  int attempts = 0;
  for (;;) {
    switch (importPage(object, session, file, seen, &pageDate)) {
      case PageResult::Done:
        return true;
      case PageResult::Next:
        attempts = 0;
        break;
      case PageResult::Failed:
        if (++attempts >= kPageAttempts) return false;
        break;
    }
  }
}

void handOver(MarketgateStatus& object, const char* fileName) {
  loadSettings(object);
  int identification = goodsIdentificationCode(object.settings.Identyfikacja);
  int kind = object.settings.ZamowieniaCzyParagony;
  int wpisTowar = object.settings.WpisTowar;
  int customerMode = customerModeCode(object);
  startUniversalImport(fileName, identification, kind, customerMode, wpisTowar);
}

void importOrders(MarketgateStatus& object, const ApiSession& session) {
  if (!fetchStatusList(object, session)) return;
  if (runDialog(object) != host_abi::kDialogConfirmed) return;
  int32_t statusId = 0;
  if (!importedStatusId(object, statusId)) {
    hostMessage(kStatusGone);
    return;
  }
  char fileName[kFileNameBufferSize];
  if (!importFileName(fileName)) return;
  void* file = openImportFile(fileName);
  if (file == nullptr) {
    hostMessage(kOpenFailed);
    return;
  }
  writeImportFileHeader(file);
  // Orders already written were taken over on the service: whatever
  // happens to later pages, the file is closed and imported.
  if (!importPages(object, session, file)) hostMessage(kStoppedEarly);
  hostCloseFile(file);
  handOver(object, fileName);
}

}  // namespace

int32_t MG_STDCALL runOrderImport() {
  MarketgateStatus object;
  constructMarketgateStatus(object);
  ApiSession session;
  openApiSession(session);
  importOrders(object, session);
  destroyMarketgateStatus(object);
  return 0;
}
