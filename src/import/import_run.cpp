// The import run: status list, options dialog, the page loop over the
// orders of the chosen status, and the hand-off of the written file.
#include "import/import_run.h"

#include <cstdio>
#include <cstring>

#include "hostlink/host_abi.h"
#include "hostlink/host_services.h"
#include "import/booked_orders.h"
#include "import/import_file.h"
#include "import/kept_files_check.h"
#include "import/interrupted_run.h"
#include "import/order_translation.h"
#include "import/pending_push_retry.h"
#include "import/refused_orders.h"
#include "import/taken_over_note.h"
#include "import/unbooked_run.h"
#include "import/universal_import_handoff.h"
#include "json/json.h"
#include "platform/file_lock.h"
#include "platform/kept_files.h"
#include "platform/windows_api.h"
#include "service/api_session.h"
#include "service/import_history.h"
#include "service/kept_text_file.h"
#include "service/push_journal.h"
#include "service/request_outcome.h"
#include "service/service_requests.h"
#include "service/user_message.h"
#include "settings/import_settings.h"
#include "settings/marketgate_status.h"
#include "settings/order_status_list.h"

namespace {

constexpr char kStatusListFailed[] = "Pobieranie listy status\xA2w nie powiod\x92o si\x91";
constexpr char kOpenFailed[] =
    "B\x92\x86"
    "d otwarcia pliku marketgate.edi do zapisu!";
constexpr char kOrdersFailed[] = "Pobieranie zam\xA2wie\xA4 nie powiod\x92o si\x91.";
constexpr char kStatusGone[] =
    "Wybrany status zam\xA2wie\xA4 do importu nie istnieje ju\xA7 w Marketgate. "
    "Wybierz go ponownie w opcjach importu.";
constexpr char kStoppedEarly[] =
    "Import zam\xA2wie\xA4 przerwany: serwis Marketgate nie odpowiada poprawnie. "
    "Zam\xA2wienia pobrane do tej chwili zostan\x86 zaimportowane.";
constexpr char kDirectoryTooLong[] =
    "\x98"
    "cie\xA7ka katalogu roboczego jest za d\x92uga dla pliku marketgate.edi. "
    "Import nie zosta\x92 rozpocz\x91ty.";

constexpr char kImportRunning[] =
    "Import zam\xA2wie\xA4 z Marketgate jest ju\xA7 uruchomiony w tym katalogu roboczym. Poczekaj na jego "
    "zako\xA4"
    "czenie i spr\xA2"
    "buj ponownie.";
constexpr char kOutgoingStatusGone[] =
    "Status, na kt\xA2ry maj\x86 przechodzi\x8D zaimportowane zam\xA2wienia, nie istnieje ju\xA7 w Marketgate. "
    "Wybierz go ponownie w opcjach importu.";
constexpr char kLeftoverSetAside[] =
    "Plik marketgate.edi z przerwanego importu nie zosta\x92 zaimportowany. Przeniesiono go do %s. Nie importuj "
    "go: jego zam\xA2wienia zostan\x86 pobrane ponownie.";
constexpr char kLeftoverStuck[] =
    "Plik marketgate.edi z wcze\x9Eniejszego importu nie zosta\x92 zaimportowany i nie uda\x92o si\x91 go "
    "przenie\x9E\x8D. Przenie\x9E go r\x91"
    "cznie; import nie zosta\x92 rozpocz\x91ty.";
constexpr char kNoteNotStarted[] =
    "Nie uda\x92o si\x91 utworzy\x8D pliku %s%s. Import nie zosta\x92 rozpocz\x91ty: bez tego pliku zam\xA2wienia "
    "mog\x92yby zosta\x8D zgubione albo zaimportowane dwa razy.";
constexpr char kBookedNotEntered[] =
    "Nie uda\x92o si\x91 zapisa\x8D pliku %s. Zam\xA2wienia z tego importu zosta\x92y zaimportowane; nast\x91pny "
    "import wpisze je do tego pliku, zanim pobierze zam\xA2wienia.";
constexpr char kSkippedBooked[] = "Pomini\x91to zam\xA2wienia zaimportowane ju\xA7 wcze\x9Eniej: %u.";
constexpr char kPushesWaiting[] =
    "Nie uda\x92o si\x91 zmieni\x8D statusu zaimportowanych zam\xA2wie\xA4 w Marketgate: %u. Zmiana zostanie "
    "ponowiona przy nast\x91pnym imporcie.";
constexpr char kPushesGivenUp[] =
    "Po %d nieudanych pr\xA2"
    "bach zrezygnowano ze zmiany statusu zam\xA2wie\xA4 w Marketgate: %s. Zmie\xA4 ich "
    "status r\x91"
    "cznie.";

// Lines of the run's history.
constexpr char kDialogClosed[] = "Okno opcji importu zamkni\x91to bez importu.";
constexpr char kHistoryIncoming[] = "Status zam\xA2wie\xA4 do importu";
constexpr char kHistoryOutgoing[] =
    "Status po przej\x91"
    "ciu";
constexpr char kHistoryNoMove[] =
    "Status po przej\x91"
    "ciu: bez zmiany";

constexpr char kOrdersRefused[] =
    "Pomini\x91to zam\xA2wienia, kt\xA2rych nie mo\xA7na wiernie przenie\x9E\x8D (b\x92\x91"
    "dny numer "
    "zam\xA2wienia albo b\x92\x91"
    "dna liczba): %u. Numery podane przez Marketgate: %s. Zostaj\x86 w swoim "
    "statusie w Marketgate, dop\xA2ki nie zostan\x86 tam poprawione.";
constexpr char kInvoicesNotFetched[] =
    "Nie uda\x92o si\x91 pobra\x8D z Marketgate numer\xA2w faktur zam\xA2wie\xA4: %s. Ich dokumenty "
    "zapisano z numerem zam\xA2wienia.";
constexpr char kMomentOverflow[] =
    "Marketgate ma wi\x91"
    "cej zam\xA2wie\xA4 potwierdzonych w tej samej chwili, ni\xA7 podaje w jednej "
    "odpowiedzi: cz\x91\x9E\x8D z nich nie zosta\x92"
    "a pobrana. Zaimportowano zam\xA2wie\xA4: %u.";

constexpr char kImportLockName[] = "marketgate.lock";
// Pauses before a page's second and third attempt, in milliseconds.
constexpr DWORD kPagePauses[kPageAttempts - 1] = {1000, 3000};
// The wait notice's second line while pages are fetched: pages fetched and
// orders written so far.
constexpr char kProgress[] = "Pobrano stron: %d, zam\xA2wie\xA4: %d";

constexpr size_t kFileNameBufferSize = 300;

// Fetches the service's statuses into the object; false with the cause in
// outcome when the request failed or brought no status.
bool fetchStatuses(MarketgateStatus& object, const ApiSession& session, RequestOutcome& outcome) {
  char* reply = nullptr;
  int ok = requestOrderStatusList(session, &reply, &outcome);
  if (ok && reply == nullptr) outcome.fault = RequestFault::unreadable;
  if (ok && reply != nullptr && !takeServiceRefusal(reply, outcome) &&
      decodeOrderStatusList(object.statusList, reply) != 0) {
    outcome.fault = RequestFault::unreadable;
  }
  hostRelease(reply);
  if (outcome.fault == RequestFault::none && object.statusList.count == 0) outcome.fault = RequestFault::noStatuses;
  return outcome.fault == RequestFault::none;
}

// The service's statuses; false (the user told) when none came. A refused
// key may be entered anew, once, when the user can be asked.
bool fetchStatusList(MarketgateStatus& object, ApiSession& session) {
  RequestOutcome outcome = {};
  if (fetchStatuses(object, session, outcome)) return true;
  showRequestFailure(kStatusListFailed, outcome, session.replyFile);
  if (!keyRefused(outcome) || hostQuietMode() || !askForKey(session)) return false;
  if (fetchStatuses(object, session, outcome)) return true;
  showRequestFailure(kStatusListFailed, outcome, session.replyFile);
  return false;
}

// The id of the status whose orders are imported; false when the fetched
// list no longer holds it (by its stored id, or its position).
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

enum class PageResult { Done, Next, Failed, Stopped };

// The parsed reply; null when there is none or it is no JSON object or array.
JsonValue* replyTree(const char* reply) {
  if (reply == nullptr || (reply[0] != '{' && reply[0] != '[')) return nullptr;
  return jsonParse(reply);
}

// Orders of the run met so far, refused ones included.
size_t ordersMet(const SeenOrders& seen) { return seen.ids.size() + seen.refusedOrders.size(); }

// Fetches and translates one page starting at *pageDate; on Next, *pageDate
// is where the following page starts. A request that got no answer at all
// stops the run (Stopped): no time-out is waited out per order left.
PageResult importPage(MarketgateStatus& object, const ApiSession& session, ImportFile* file, SeenOrders& seen,
                      int32_t* pageDate, int& pagesFetched) {
  int32_t statusId = 0;
  if (!importedStatusId(object, statusId)) return PageResult::Failed;
  char progress[100];
  std::snprintf(progress, sizeof progress, kProgress, pagesFetched, static_cast<int>(seen.written.size()));
  char* reply = nullptr;
  RequestOutcome outcome = {};
  int ok = requestOrders(session, statusId, &reply, *pageDate, progress, &outcome);
  if (ok && reply == nullptr) outcome.fault = RequestFault::unreadable;
  // The page is parsed once, for the service's refusal and for its orders.
  JsonValue* page = replyTree(reply);
  if (ok && reply != nullptr && reply[0] == '{') takeServiceRefusalFrom(page, outcome);
  if (outcome.fault != RequestFault::none) {
    jsonFree(page);
    hostRelease(reply);
    showRequestFailure(kOrdersFailed, outcome, session.replyFile);
    return outcome.fault == RequestFault::unreachable ? PageResult::Stopped : PageResult::Failed;
  }
  ++pagesFetched;
  int32_t nextPageDate = 0;
  loadSettings(object);
  size_t known = ordersMet(seen);
  int result = translateOrderTree(page, file, object.settings.ZamowieniaCzyParagony, object.settings.EanCzySku,
                                  &nextPageDate, &seen, reply);
  jsonFree(page);
  hostRelease(reply);
  if (seen.stopped || seen.serviceSilent) return PageResult::Stopped;
  if (result != 0) {
    outcome.fault = RequestFault::unreadable;
    showRequestFailure(kOrdersFailed, outcome, session.replyFile);
    return PageResult::Failed;
  }
  if (nextPageDate == 0) return PageResult::Done;
  // A full page that brought nothing new would only come back again: when
  // all its orders share one confirmation time, the service holds more of
  // that moment than one page returns, and the rest cannot be reached.
  if (ordersMet(seen) == known) {
    if (seen.pageOfOneMoment) seen.momentOverflow = true;
    return PageResult::Done;
  }
  *pageDate = nextPageDate;
  return PageResult::Next;
}

// The page loop; false when a page failed all its attempts, a request got no
// answer or a write failed (seen.stopped). Between a page's attempts the run
// gives the service time (also in quiet mode: an unattended run is where a
// busy service needs it most).
bool importPages(MarketgateStatus& object, const ApiSession& session, ImportFile* file, SeenOrders& seen) {
  int32_t pageDate = 0;
  int attempts = 0;
  int pagesFetched = 0;
  for (;;) {
    switch (importPage(object, session, file, seen, &pageDate, pagesFetched)) {
      case PageResult::Done:
        return true;
      case PageResult::Next:
        attempts = 0;
        break;
      case PageResult::Stopped:
        return false;
      case PageResult::Failed:
        if (++attempts >= kPageAttempts) return false;
        Sleep(kPagePauses[attempts - 1]);
        break;
    }
  }
}

// What one run did, for the bookkeeping after the hand-off.
struct RunRecord {
  SeenOrders seen;
  BookedOrders booked;
  PushRetryOutcome retries;
};

// The universal import's result (negative: nothing imported, also when the
// hand-off could not be recorded first).
int32_t handOver(MarketgateStatus& object, const char* fileName, TakenOverNote& note) {
  loadSettings(object);
  int identification = goodsIdentificationCode(object.settings.Identyfikacja);
  int kind = object.settings.ZamowieniaCzyParagony;
  int wpisTowar = object.settings.WpisTowar;
  int customerMode = customerModeCode(object);
  int32_t imported = -1;
  startUniversalImport(fileName, identification, kind, customerMode, wpisTowar, &imported, &note);
  return imported;
}

// The id of the status at the outgoing position: 0 when the positions are
// equal (no change wanted), -1 when the position is not in the fetched list.
int32_t chosenOutgoingId(MarketgateStatus& object) {
  loadSettings(object);
  if (object.settings.StatusWyPoz == kChosenStatusGone) return -1;
  if (object.settings.StatusWePoz == object.settings.StatusWyPoz) return 0;
  const OrderStatus* status = statusAt(object.statusList, object.settings.StatusWyPoz);
  return status != nullptr ? status->id : -1;
}

// The id of the status taken-over orders get: 0 when the document kind
// moves nothing (customer orders) or the positions are equal; false when
// the outgoing position is not in the fetched list.
bool outgoingStatusId(MarketgateStatus& object, int32_t& statusId) {
  statusId = 0;
  int32_t chosen = chosenOutgoingId(object);
  int kind = object.settings.ZamowieniaCzyParagony;
  if (kind < 1 || kind > 4) return true;
  if (chosen < 0) return false;
  statusId = chosen;
  return true;
}

// A file an earlier run left (a crash before its hand-off) is set aside and
// the user told; its orders come again (customer orders were never moved,
// taken-over ones are moved back). false (the user told) when it stays
// where the new file must go.
bool setLeftoverAside(const char* fileName) {
  if (!regularFileExists(fileName)) return true;
  std::string aside = setFileAside(fileName);
  if (aside.empty()) {
    hostMessage(kLeftoverStuck);
    return false;
  }
  showMessage(kLeftoverSetAside, aside.c_str());
  return true;
}

// What went wrong with the run's own files, for the message.
UnbookedRun unwrittenRun(const ImportFile& file, const TakenOverNote& note) {
  UnbookedRun run{UnbookedCause::fileNotWritten, kImportFileName, file.systemError,
                  file.fault == ImportFileFault::noMemory};
  if (!importFileFailed(file))
    run = UnbookedRun{UnbookedCause::fileNotWritten, kTakenOverName, note.systemError, false};
  return run;
}

// Books what the host took: the note goes once the register holds the
// orders. A refused file sends the run's orders back.
void settleHandOver(RunRecord& run, TakenOverNote& note, const char* fileName, int32_t imported) {
  if (imported == kHandOffNotRecorded) {
    run.seen.failedPushes = 0;  // they go back with the rest
    noteOrdersInHistory(kHistoryNotTaken, run.seen.written);
    settleUnbookedRun(UnbookedRun{UnbookedCause::fileNotWritten, kTakenOverName, note.systemError, false}, fileName,
                      note);
    return;
  }
  if (imported < 0) {
    run.seen.failedPushes = 0;
    noteOrdersInHistory(kHistoryNotTaken, run.seen.written);
    settleUnbookedRun(UnbookedRun{UnbookedCause::refused, "", 0, false}, fileName, note);
    return;
  }
  enterBookedOrders(run.booked, run.seen.written);
  noteOrdersInHistory(kHistoryBooked, run.seen.written);
  if (writeBookedOrders(run.booked)) {
    retireTakenOverNote(note);
  } else {
    keepTakenOverNote(note);
    showMessage(kBookedNotEntered, run.booked.path.c_str());
  }
}

void tellOutcome(const RunRecord& run) {
  const SeenOrders& seen = run.seen;
  if (!seen.refused.empty()) {
    showMessage(kOrdersRefused, static_cast<unsigned>(seen.refused.size()), shownOrderNames(seen.refused).c_str());
    noteOrdersInHistory(kHistoryRefused, seen.refused);
  }
  if (!seen.invoicesNotFetched.empty()) {
    showMessage(kInvoicesNotFetched, shownOrderNames(seen.invoicesNotFetched).c_str());
  }
  if (seen.momentOverflow) showMessage(kMomentOverflow, static_cast<unsigned>(seen.written.size()));
  if (run.seen.skipped > 0) showMessage(kSkippedBooked, static_cast<unsigned>(run.seen.skipped));
  uint32_t waiting = run.retries.stillWaiting + run.seen.failedPushes;
  if (waiting > 0) showMessage(kPushesWaiting, static_cast<unsigned>(waiting));
  if (!run.retries.givenUp.empty()) {
    std::string orders;
    for (const std::string& order : run.retries.givenUp) orders += (orders.empty() ? "" : ", ") + order;
    showMessage(kPushesGivenUp, kPushRetryLimit, orders.c_str());
  }
}

// The statuses the run imports from and moves to, for its history.
void noteRunStatuses(const MarketgateStatus& object, int32_t incoming, int32_t outgoing) {
  const OrderStatusList& list = object.statusList;
  for (int32_t i = 0; i < list.count; ++i) {
    const OrderStatus& status = list.statuses[i];
    if (status.id == incoming) noteStatusInHistory(kHistoryIncoming, status.id, status.name, sizeof status.name);
    if (status.id == outgoing) noteStatusInHistory(kHistoryOutgoing, status.id, status.name, sizeof status.name);
  }
  if (outgoing == 0) noteInHistory("%s", kHistoryNoMove);
}

void importOrders(MarketgateStatus& object, ApiSession& session) {
  if (!fetchStatusList(object, session)) return;
  if (runDialog(object) != host_abi::kDialogConfirmed) {
    noteInHistory("%s", kDialogClosed);
    return;
  }
  int32_t statusId = 0;
  if (!importedStatusId(object, statusId)) {
    hostMessage(kStatusGone);
    return;
  }
  int32_t outgoing = 0;
  if (!outgoingStatusId(object, outgoing)) {
    hostMessage(kOutgoingStatusGone);
    return;
  }
  noteRunStatuses(object, statusId, outgoing);
  char fileName[kFileNameBufferSize];
  if (!importFileName(fileName)) return;

  // Checked again: the dialog may have stood open for long.
  if (!keptFilesUsable()) return;
  RunRecord run;
  if (!openBookedOrders(run.booked)) return;
  if (!settleInterruptedRun(fileName, run.booked)) return;
  // A change kept without its status (a handled document's push found no
  // status list) goes to the outgoing status chosen now, whatever the kind.
  int32_t chosen = chosenOutgoingId(object);
  retryPendingPushes(session, chosen > 0 ? chosen : 0, run.retries);
  if (!run.booked.path.empty()) {
    run.seen.booked = &run.booked;
    run.seen.waiting = run.retries.waiting;
  }
  run.seen.outgoingStatusId = outgoing;
  run.seen.incomingStatusId = statusId;
  if (!setLeftoverAside(fileName)) return;
  TakenOverNote note;
  if (!startTakenOverNote(note)) {
    const char* reason = systemReason(note.systemError);
    showMessage(kNoteNotStarted, kTakenOverName, reason == nullptr ? "" : (std::string(" (") + reason + ")").c_str());
    return;
  }
  ImportFile file{openImportFile(fileName), ImportFileFault::none, 0};
  if (file.handle == nullptr) {
    retireTakenOverNote(note);
    hostMessage(kOpenFailed);
    return;
  }
  run.seen.note = &note;
  writeImportFileHeader(&file);
  // Orders already written were taken over on the service: unless a write
  // failed, the file is closed and imported whatever happens to later pages.
  bool complete = importPages(object, session, &file, run.seen);
  closeImportFile(&file);
  if (run.seen.stopped || importFileFailed(file)) {
    run.seen.failedPushes = 0;  // they go back with the rest
    noteOrdersInHistory(kHistoryNotTaken, run.seen.written);
    settleUnbookedRun(unwrittenRun(file, note), fileName, note);
  } else {
    if (!complete) hostMessage(kStoppedEarly);
    settleHandOver(run, note, fileName, handOver(object, fileName, note));
  }
  tellOutcome(run);
}

// The one import of a working directory; false (the user told) when
// another holds it or the lock cannot be taken. Without a place for the
// lock the import runs unlocked (its import file has no place either).
bool takeImportLock(FileLock& lock) {
  lock = FileLock{-1, 0};
  std::string path = workingFilePath(kImportLockName);
  if (path.empty()) return true;
  LockResult result = tryLockFile(path.c_str(), lock);
  if (result == LockResult::Taken) return true;
  if (result == LockResult::Busy) {
    hostMessage(kImportRunning);
  } else {
    showUnusableLock(path, lock.error);
  }
  return false;
}

}  // namespace

int32_t MG_STDCALL runOrderImport() {
  // Before the locks and the kept files, whose names need the same room.
  char fileName[kFileNameBufferSize];
  if (!importFileName(fileName)) return 0;
  FileLock lock;
  if (!takeImportLock(lock)) return 0;
  ImportHistory history;
  startImportHistory(history);
  if (!keptFilesUsable()) {
    endImportHistory(history);
    unlockFile(lock);
    return 0;
  }
  MarketgateStatus object;
  constructMarketgateStatus(object);
  ApiSession session;
  openApiSession(session);
  importOrders(object, session);
  destroyMarketgateStatus(object);
  endImportHistory(history);
  unlockFile(lock);
  return 0;
}
