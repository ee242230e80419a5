// A run whose file was not booked (see unbooked_run.h).
#include "import/unbooked_run.h"

#include <cerrno>
#include <cstdio>
#include <utility>

#include "hostlink/host_services.h"
#include "import/taken_over_note.h"
#include "service/kept_text_file.h"
#include "service/push_journal.h"

namespace {

constexpr char kIncompleteMark[] = "niekompletny";
constexpr char kRefusedMark[] = "odrzucony";
constexpr size_t kOrdersListedWhole = 10;

constexpr char kNotWritten[] = "Nie uda\x92o si\x91 zapisa\x8D pliku ";
constexpr char kMayBeFull[] =
    ": dysk mo\xA7"
    "e by\x8D pe\x92ny albo folder roboczy niedost\x91pny.";
constexpr char kNothingBooked[] = " Nic z tego importu nie zosta\x92o zaimportowane.";
constexpr char kIncompleteKept[] = " Niekompletny plik zachowano jako %s: nie importuj go.";
constexpr char kIncompleteStays[] = " Niekompletny plik marketgate.edi pozosta\x92 na miejscu: nie importuj go.";
constexpr char kRefused[] =
    "Import uniwersalny nie przyj\x86\x92 pliku marketgate.edi; nic z niego nie zosta\x92o zaimportowane.";
constexpr char kRefusedKept[] = " Plik zachowano jako %s: nie importuj go.";
constexpr char kRefusedStays[] = " Plik marketgate.edi pozosta\x92 na miejscu: nie importuj go.";
constexpr char kNoneMoved[] = " Zam\xA2wienia zostan\x86 pobrane ponownie przy nast\x91pnym imporcie.";
constexpr char kSentBack[] =
    " Zam\xA2wienia przej\x91te w tym imporcie (%u) wr\xA2"
    "c\x86 w Marketgate do poprzedniego statusu na "
    "pocz\x86tku nast\x91pnego importu i zostan\x86 wtedy pobrane ponownie.";
constexpr char kNotSentBack[] =
    " Nie uda\x92o si\x91 te\xA7 zapisa\x8D pliku marketgate-statusy.txt, wi\x91"
    "c zam\xA2wienia przej\x91te w tym "
    "imporcie maj\x86 w Marketgate nadal kolejny status (%s). Nast\x91pny import przywr\xA2"
    "ci ich "
    "poprzedni status i je pobierze; je\x9Eli i on nie b\x91"
    "dzie m\xA2g\x92 zapisa\x8D plik\xA2w, przywr\xA2\x8D ich "
    "status r\x91"
    "cznie.";
constexpr char kFreeSpace[] =
    " Zwolnij miejsce na dysku albo przywr\xA2\x8D dost\x91p do folderu roboczego i uruchom import ponownie.";
constexpr char kCheckHost[] =
    " Sprawd\xA6 komunikaty importu uniwersalnego i konfiguracj\x91 importu ImportMarketgate w programie, potem "
    "uruchom import ponownie.";
constexpr char kNoMemory[] =
    "zabrak\x92o pami\x91"
    "ci";

std::string formatted(const char* format, const char* text) {
  char line[1200];
  std::snprintf(line, sizeof line, format, text);
  return line;
}

std::string formatted(const char* format, unsigned number) {
  char line[400];
  std::snprintf(line, sizeof line, format, number);
  return line;
}

std::string whatFailed(const UnbookedRun& run) {
  std::string text = kNotWritten + run.failedFile;
  const char* reason = run.noMemory ? kNoMemory : systemReason(run.systemError);
  if (reason == nullptr) return text + kMayBeFull;
  return text + " (" + reason + ").";
}

}  // namespace

const char* systemReason(int error) {
  switch (error) {
    case ENOSPC:
      return "brak miejsca na dysku";
#if defined(EDQUOT)
    case EDQUOT:
      return "przekroczony przydzia\x92 miejsca na dysku";
#endif
    case EACCES:
    case EPERM:
      return "brak uprawnie\xA4";
    case ENOENT:
    case ENOTDIR:
      return "folder nie istnieje";
    case EROFS:
      return "dysk tylko do odczytu";
    case EIO:
      return "b\x92\x86"
             "d zapisu na dysku";
    default:
      return nullptr;
  }
}

std::string orderListText(const std::vector<std::string>& orders) {
  std::string text = std::to_string(orders.size());
  if (orders.empty()) return text;
  if (orders.size() > kOrdersListedWhole) return text + ", od " + orders.front() + " do " + orders.back();
  text += ": ";
  for (size_t i = 0; i < orders.size(); ++i) text += (i == 0 ? "" : ", ") + orders[i];
  return text;
}

void settleUnbookedRun(const UnbookedRun& run, const char* importFileName, TakenOverNote& note) {
  bool refused = run.cause == UnbookedCause::refused;
  // Without its hand-off line the note sends the orders back at the next
  // import; should the line stay, the file stays too, and the next import
  // treats it as one whose hand-off may have gone through.
  bool withdrawn = withdrawHandOff(note);
  std::string aside;
  if (withdrawn) aside = setFileAside(importFileName, refused ? kRefusedMark : kIncompleteMark);
  std::vector<std::pair<std::string, int32_t>> changes;
  std::vector<std::string> orders;
  for (const NotedOrder& moved : note.moved) {
    changes.emplace_back(moved.order, moved.incomingStatusId);
    orders.push_back(moved.order);
  }
  bool sentBack = keepStatusChanges(changes);
  if (sentBack) {
    retireTakenOverNote(note);
  } else {
    keepTakenOverNote(note);
  }

  std::string text = refused ? std::string(kRefused) : whatFailed(run) + kNothingBooked;
  if (aside.empty()) {
    text += refused ? kRefusedStays : kIncompleteStays;
  } else {
    text += formatted(refused ? kRefusedKept : kIncompleteKept, aside.c_str());
  }
  if (orders.empty()) {
    text += kNoneMoved;
  } else if (sentBack) {
    text += formatted(kSentBack, static_cast<unsigned>(orders.size()));
  } else {
    text += formatted(kNotSentBack, orderListText(orders).c_str());
  }
  text += refused ? kCheckHost : kFreeSpace;
  hostMessage(text.c_str());
}
