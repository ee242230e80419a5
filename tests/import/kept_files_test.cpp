// The files the plug-in keeps (register, journal, note) and its locks: one
// that exists but cannot be read or used stops the import before its first
// request, and once it can be read every order is booked once; a line that
// is damaged (a NUL at its start or in its middle) costs that line alone.
// The tests run as root, where permission bits do not stop a read: a folder
// in the file's place stands in on every build, and on Linux a link to
// /proc/self/mem (reading its start is an I/O error) too; the permission
// case runs only for another user.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "frame/table_hooks.h"
#include "control/host_control.h"
#include "import/import_fixture.h"
#include "import/import_run.h"

#if !defined(_WIN32)
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;

const char kUnreadable[] = "Nie mo\xA7na odczyta\x8D pliku ";
const char kLockUnusable[] = "Nie mo\xA7na za\x92o\xA7y\x8D blokady w pliku ";
const char kDamaged[] = "Plik ";
const char kFolderCause[] = "(w jego miejscu jest folder)";

enum class Fault { Folder, InputOutput, Permission };

struct FaultKind {
  Fault fault;
  const char* cause;
};

// The ways this build and user can make a file unreadable.
std::vector<FaultKind> faultKinds() {
  std::vector<FaultKind> kinds = {{Fault::Folder, kFolderCause}};
#if !defined(_WIN32)
  kinds.push_back({Fault::InputOutput,
                   "(b\x92\x86"
                   "d wej\x9E"
                   "cia-wyj\x9E"
                   "cia)"});
  if (geteuid() != 0) kinds.push_back({Fault::Permission, "(brak uprawnie\xA4)"});
#endif
  return kinds;
}

class KeptFilesTest : public ImportTest {
 protected:
  // count orders of status 101 from order 8000 on.
  static std::string shop(int count) {
    std::vector<std::string> orders;
    for (int i = 0; i < count; ++i) orders.push_back(orderJson(8000 + i));
    return shopJson(orders);
  }
  void forgetEverything() {
    for (const auto& entry : fs::directory_iterator(workDir.path())) {
      if (entry.path().filename() != "marketgate.ini") fs::remove_all(entry.path());
    }
    standin::clearMessages();
  }
  // The file set aside, a fault in its place.
  void breakFile(const std::string& name, Fault fault) {
    std::string path = workDir.file(name);
    if (fs::exists(path)) fs::rename(path, path + ".saved");
    switch (fault) {
      case Fault::Folder:
        fs::create_directory(path);
        break;
      case Fault::InputOutput:
        fs::create_symlink("/proc/self/mem", path);
        break;
      case Fault::Permission:
        writeWholeFile(path, fs::exists(path + ".saved") ? readWholeFile(path + ".saved") : "");
        fs::permissions(path, fs::perms::none);
        break;
    }
  }
  void mendFile(const std::string& name) {
    std::string path = workDir.file(name);
    fs::remove_all(path);
    if (fs::exists(path + ".saved")) fs::rename(path + ".saved", path);
  }
  static std::map<std::string, int> bookings() {
    std::map<std::string, int> count;
    for (const standin::StoredDocument& document : standin::storedDocuments()) ++count[document.orderNumber];
    return count;
  }
  static void expectBookedOnce(const std::vector<int>& orders) {
    std::map<std::string, int> booked = bookings();
    for (int order : orders) EXPECT_EQ(booked[std::to_string(order)], 1) << "order " << order;
    EXPECT_EQ(booked.size(), orders.size());
  }
  std::vector<std::string> messagesWith(const std::string& start) const {
    std::vector<std::string> found;
    for (const standin::ShownMessage& message : standin::messages()) {
      if (message.kind == "message" && message.text.rfind(start, 0) == 0) found.push_back(message.text);
    }
    return found;
  }
  // An import that is refused with one message naming the file and the
  // cause, before any request and before its import file is opened.
  void runRefused(const char* start, const std::string& name, const char* cause) {
    standin::clearMessages();
    int opened = standin::callCount(52534);
    runOrderImport();
    EXPECT_EQ(standin::callCount(52534), opened);
    std::vector<std::string> told = messagesWith(start);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find(name + " " + cause), std::string::npos) << told[0];
    EXPECT_NE(told[0].find("nie zostanie uruchomiony"), std::string::npos) << told[0];
    EXPECT_TRUE(requests().empty());
    EXPECT_EQ(standin::messages().size(), 1u);
  }
};

// The register (customer orders would be booked again), the journal (a
// waiting change would be lost) and the note (orders an interrupted run
// moved would stay moved, unbooked): unreadable, the import stops; read
// again, every order is booked once and the waiting changes are made.
TEST_F(KeptFilesTest, AKeptFileThatCannotBeReadStopsTheImportUntilItCanBe) {
  for (const FaultKind& kind : faultKinds()) {
    SCOPED_TRACE(kind.cause);
    {
      SCOPED_TRACE("register");
      forgetEverything();
      startShop(shop(3));
      runOrderImport();
      breakFile("marketgate-zaimportowane.txt", kind.fault);
      mock->stop();
      startShop(mock->stateText());
      runRefused(kUnreadable, "marketgate-zaimportowane.txt", kind.cause);
      mendFile("marketgate-zaimportowane.txt");
      runOrderImport();
      expectBookedOnce({8000, 8001, 8002});
    }
    {
      SCOPED_TRACE("journal");
      forgetEverything();
      startShop(shop(3));
      writeWholeFile(workDir.file("marketgate-statusy.txt"), "8001 103 2026-01-01 0\n");
      breakFile("marketgate-statusy.txt", kind.fault);
      runRefused(kUnreadable, "marketgate-statusy.txt", kind.cause);
      mendFile("marketgate-statusy.txt");
      runOrderImport();
      expectBookedOnce({8000, 8002});
      EXPECT_EQ(ordersInStatus(103), 1);
    }
    {
      SCOPED_TRACE("note");
      forgetEverything();
      startShop(shopJson({orderJson(8000), orderJson(8001, {{"order_status_id", "102"}}), orderJson(8002)}));
      setOption("ZamowieniaCzyParagony", "1");
      setStatusPositions(0, 1);
      writeWholeFile(workDir.file("marketgate-przejete.txt"), "8001 101\n");
      writeWholeFile(workDir.file("marketgate.edi"), "[Info]\n");
      breakFile("marketgate-przejete.txt", kind.fault);
      runRefused(kUnreadable, "marketgate-przejete.txt", kind.cause);
      EXPECT_EQ(readWholeFile(workDir.file("marketgate.edi")), "[Info]\n") << "the left-over file stays";
      mendFile("marketgate-przejete.txt");
      runOrderImport();
      expectBookedOnce({8000, 8001, 8002});
      setOption("ZamowieniaCzyParagony", "0");
      setStatusPositions(0, 0);
    }
  }
}

// A lock that cannot be taken (here a folder in its place) would let two
// imports run at once: the import stops until it can be taken.
TEST_F(KeptFilesTest, ALockThatCannotBeTakenStopsTheImport) {
  for (const char* name : {"marketgate.lock", "marketgate-statusy.lock"}) {
    SCOPED_TRACE(name);
    forgetEverything();
    startShop(shop(2));
    breakFile(name, Fault::Folder);
    runRefused(kLockUnusable, name, kFolderCause);
    mendFile(name);
    runOrderImport();
    expectBookedOnce({8000, 8001});
  }
}

// Damaged lines among good ones, read as bytes: a NUL at a line's start or
// in its middle costs that line only (it once swallowed the next entry, or
// read before the line); CR LF ends and a last line without its end read.
// The file is reported and set aside, its readable entries kept; a damaged
// note's readable orders go back, the user told what the others may cost.
TEST_F(KeptFilesTest, ADamagedLineCostsThatLineAlone) {
  using namespace std::string_literals;
  {
    SCOPED_TRACE("register");
    startShop(shop(5));
    writeWholeFile(workDir.file("marketgate-zaimportowane.txt"),
                   "\0"s
                   "8000 2026-01-01 2099-01-01\n8001 2026-01-01 2099-01-01\r\n8002 2026-\0"s
                   "01-01 2099-01-01\n8003 2026-01-01 2099-01-01");
    runOrderImport();
    std::vector<std::string> told = messagesWith(kDamaged);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("marketgate-zaimportowane.txt by\x92 uszkodzony"), std::string::npos) << told[0];
    EXPECT_NE(told[0].find(": 2."), std::string::npos) << told[0];
    expectBookedOnce({8000, 8002, 8004});
    std::string kept = readTextFile(workDir.file("marketgate-zaimportowane.txt"));
    EXPECT_NE(kept.find("\n8001 2026-01-01 "), std::string::npos) << kept;
    EXPECT_NE(kept.find("\n8003 2026-01-01 "), std::string::npos) << kept;
  }
  {
    SCOPED_TRACE("journal");
    forgetEverything();
    startShop(shop(5));
    writeWholeFile(workDir.file("marketgate-statusy.txt"),
                   "8001 103 2026-01-01 0\n\0zepsuty\n8002 10\0"s
                   "3 2026-01-01 0\r\n8003 103 2026-01-01 0");
    runOrderImport();
    std::vector<std::string> told = messagesWith(kDamaged);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told[0].find("marketgate-statusy.txt by\x92 uszkodzony"), std::string::npos) << told[0];
    EXPECT_NE(told[0].find(": 2."), std::string::npos) << told[0];
    EXPECT_EQ(ordersInStatus(103), 2);
    expectBookedOnce({8000, 8002, 8004});
  }
  {
    SCOPED_TRACE("note");
    forgetEverything();
    std::vector<std::string> orders = {orderJson(8000)};
    for (int order = 8001; order <= 8004; ++order) orders.push_back(orderJson(order, {{"order_status_id", "102"}}));
    startShop(shopJson(orders));
    setOption("ZamowieniaCzyParagony", "1");
    setStatusPositions(0, 1);
    writeWholeFile(workDir.file("marketgate-przejete.txt"),
                   "8001 101\n\0"s
                   "8002 101\n80\0"s
                   "03 101\n8004 101\n");
    writeWholeFile(workDir.file("marketgate.edi"), "[Info]\n");
    runOrderImport();
    std::vector<std::string> told = messagesWith(kDamaged);
    ASSERT_EQ(told.size(), 2u) << "the left-over file's message and the note's";
    if (told[0].find("przejete") == std::string::npos) std::swap(told[0], told[1]);
    EXPECT_NE(told[0].find("marketgate-przejete.txt by\x92 uszkodzony"), std::string::npos) << told[0];
    EXPECT_NE(told[0].find("wpisy: 2. Wierszy, kt\xA2rych nie da\x92o si\x91 odczyta\x8D: 2."), std::string::npos)
        << told[0];
    EXPECT_FALSE(fs::exists(workDir.file("marketgate-przejete.txt")));
    expectBookedOnce({8000, 8001, 8004});
    EXPECT_EQ(ordersInStatus(102), 5) << "8002 and 8003 stayed, the others were booked and moved";
    setOption("ZamowieniaCzyParagony", "0");
    setStatusPositions(0, 0);
  }
}

// A handled document's push reads the journal too: with the journal
// unusable, a failed change cannot be kept and a made one cannot be struck
// from it; the user is told which order and file, and nothing is written
// over the journal.
TEST_F(KeptFilesTest, AHandledDocumentsPushWithTheJournalUnusableTellsWhatToDo) {
  startShop(shop(3), {"setOrderStatus:1:http500"});
  runOrderImport();
  setStatusPositions(0, 2);
  breakFile("marketgate-statusy.txt", Fault::Folder);
  resetTableHookState();
  ASSERT_EQ(installTableHooks(), 0);
  standin::ListSelection selection = standin::listSelection(standin::kListTableNumber, 1);
  for (int push = 0; push < 2; ++push) {
    standin::callTableOperation(standin::kListTableNumber, 17408, 801, 0, selection.recordArray, 0, selection.listView);
  }
  restoreTableHooks();
  std::vector<std::string> notKept = messagesWith("Nie uda\x92o si\x91 zmieni\x8D statusu zam\xA2wienia 8001 ");
  ASSERT_EQ(notKept.size(), 1u);
  EXPECT_NE(notKept[0].find(std::string("marketgate-statusy.txt ") + kFolderCause), std::string::npos) << notKept[0];
  EXPECT_NE(notKept[0].find("r\x91"
                            "cznie"),
            std::string::npos)
      << notKept[0];
  std::vector<std::string> notStruck = messagesWith("Status zam\xA2wienia 8001 w Marketgate zmieniono");
  ASSERT_EQ(notStruck.size(), 1u);
  EXPECT_NE(notStruck[0].find("usu\xA4 z niego jej wiersz"), std::string::npos) << notStruck[0];
  EXPECT_TRUE(fs::is_directory(workDir.file("marketgate-statusy.txt")));
  EXPECT_EQ(ordersInStatus(103), 1);
}

}  // namespace
