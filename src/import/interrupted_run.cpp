// A note left by an earlier run (see interrupted_run.h).
#include "import/interrupted_run.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "hostlink/host_services.h"
#include "import/booked_orders.h"
#include "import/taken_over_note.h"
#include "import/unbooked_run.h"
#include "platform/kept_files.h"
#include "service/import_history.h"
#include "service/kept_text_file.h"
#include "service/push_journal.h"
#include "service/user_message.h"

namespace {

constexpr char kInDoubtMark[] = "byc-moze-zaimportowany";

constexpr char kInDoubt[] =
    "Poprzedni import zam\xA2wie\xA4 przerwano w trakcie importu uniwersalnego pliku marketgate.edi; "
    "nie wiadomo, czy program zapisa\x92 jego dokumenty.";
constexpr char kInDoubtEntered[] =
    " Zam\xA2wienia z tego pliku (%s) wpisano jako zaimportowane i nie zostan\x86 zaimportowane ponownie.";
constexpr char kInDoubtOrders[] = " Zam\xA2wienia z tego pliku: %s.";
constexpr char kInDoubtKept[] =
    " Plik zachowano jako %s: zaimportuj go importem uniwersalnym tylko wtedy, gdy w programie "
    "brakuje dokument\xA2w tych zam\xA2wie\xA4.";
constexpr char kInDoubtStays[] =
    " Pliku marketgate.edi nie uda\x92o si\x91 przenie\x9E\x8D: zaimportuj go importem uniwersalnym tylko "
    "wtedy, gdy w programie brakuje dokument\xA2w tych zam\xA2wie\xA4, a potem przenie\x9E go; do tego "
    "czasu import nie zostanie rozpocz\x91ty.";
constexpr char kLeftNotSentBack[] =
    "Nie uda\x92o si\x91 zapisa\x8D pliku marketgate-statusy.txt, wi\x91"
    "c zam\xA2wie\xA4 przerwanego importu "
    "(%s), kt\xA2re maj\x86 w Marketgate kolejny status, nie mo\xA7na przywr\xA2"
    "ci\x8D do poprzedniego "
    "statusu. Import nie zosta\x92 rozpocz\x91ty; zwolnij miejsce na dysku albo przywr\xA2\x8D dost\x91p do "
    "folderu roboczego i uruchom go ponownie.";
constexpr char kRegisterNotWritten[] =
    "Nie uda\x92o si\x91 zapisa\x8D pliku %s, wi\x91"
    "c zam\xA2wie\xA4 przerwanego importu (%s) nie mo\xA7na wpisa\x8D "
    "jako zaimportowanych. Import nie zosta\x92 rozpocz\x91ty; zwolnij miejsce na dysku albo przywr\xA2\x8D "
    "dost\x91p do folderu roboczego i uruchom go ponownie.";

std::string formatted(const char* format, const char* text) {
  char line[1200];
  std::snprintf(line, sizeof line, format, text);
  return line;
}

// Orders moved by the run go back; false (the user told) when the journal
// could not take them.
bool sendBack(const LeftNote& left) {
  std::vector<std::pair<std::string, int32_t>> changes;
  std::vector<std::string> orders;
  for (const NotedOrder& noted : left.orders) {
    if (noted.incomingStatusId <= 0) continue;
    changes.emplace_back(noted.order, noted.incomingStatusId);
    orders.push_back(noted.order);
  }
  if (keepStatusChanges(changes)) return true;
  showMessage(kLeftNotSentBack, orderListText(orders).c_str());
  return false;
}

// The note's orders enter the register as booked; false (the user told)
// when the register could not be written.
bool enterAsBooked(BookedOrders& booked, const std::vector<std::string>& orders) {
  std::vector<std::string> missing;
  for (const std::string& order : orders) {
    if (booked.orders.count(order) == 0) missing.push_back(order);
  }
  enterBookedOrders(booked, missing);
  if (writeBookedOrders(booked)) return true;
  showMessage(kRegisterNotWritten, booked.path.c_str(), orderListText(orders).c_str());
  return false;
}

}  // namespace

bool settleInterruptedRun(const char* importFileName, BookedOrders& booked) {
  LeftNote left = readLeftNote();
  if (!left.found) return true;
  if (!left.unreadable.empty()) {
    showUnreadableKeptFile(workingFilePath(kTakenOverName), left.unreadable);
    return false;
  }
  if (!left.handOffBegun) {
    if (!sendBack(left)) return false;
    removeLeftNote(left);
    return true;
  }
  std::vector<std::string> orders;
  for (const NotedOrder& noted : left.orders) orders.push_back(noted.order);
  if (!enterAsBooked(booked, orders)) return false;
  // The file leaves its place only once the host took it.
  if (!regularFileExists(importFileName)) {
    removeLeftNote(left);
    return true;
  }
  noteOrdersInHistory(kHistoryInDoubt, orders);
  std::string aside = setFileAside(importFileName, kInDoubtMark);
  std::string text = kInDoubt;
  text += formatted(booked.path.empty() ? kInDoubtOrders : kInDoubtEntered, orderListText(orders).c_str());
  text += aside.empty() ? std::string(kInDoubtStays) : formatted(kInDoubtKept, aside.c_str());
  hostMessage(text.c_str());
  if (aside.empty()) return false;
  removeLeftNote(left);
  return true;
}
