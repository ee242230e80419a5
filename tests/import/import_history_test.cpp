// The history of imports: what each import did and showed, a handled
// document's failed push, the bound that drops the oldest entries, and a
// history that cannot be read or written never stopping an import.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "control/host_control.h"
#include "import/import_fixture.h"
#include "import/import_run.h"
#include "service/import_history.h"
#include "service/status_push.h"

namespace {

const char kHistory[] = "marketgate-historia.txt";

class ImportHistoryTest : public ImportTest {
 protected:
  std::string history() const { return readTextFile(workDir.file(kHistory)); }
  // The history's lines from the last entry's heading on.
  std::vector<std::string> lastEntry() const {
    std::vector<std::string> lines;
    std::string text = history();
    size_t start = 0;
    while (start < text.size()) {
      size_t end = text.find('\n', start);
      std::string line = text.substr(start, end - start);
      if (line.size() > 19 && line[4] == '-' && line[10] == ' ' && line[0] != ' ') lines.clear();
      lines.push_back(line);
      if (end == std::string::npos) break;
      start = end + 1;
    }
    return lines;
  }
  static bool holds(const std::vector<std::string>& lines, const std::string& line) {
    for (const std::string& each : lines) {
      if (each == line) return true;
    }
    return false;
  }
};

std::string joinedLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

// Orders booked, skipped as booked before and with a status change that
// waits; then a handled document whose push fails; then an import whose
// file the host refuses: each is named, and every message in the order
// shown, in Windows-1250.
TEST_F(ImportHistoryTest, EntriesNameBookedSkippedRefusedOrdersAndAFailedPush) {
  startShop(shopJson({orderJson(8000, {{"date_confirmed", "3000"}}), orderJson(8001, {{"date_confirmed", "3001"}}),
                      orderJson(8002, {{"date_confirmed", "3002"}}), orderJson(8003, {{"date_confirmed", "3003"}})}),
            {"setOrderStatus:2:http500", "setOrderStatus:4:http500"});
  setOption("ZamowieniaCzyParagony", "1");
  setStatusPositions(0, 1);
  writeWholeFile(workDir.file("marketgate-zaimportowane.txt"), "8003 2026-12-01 2026-12-01\n");
  runOrderImport();
  std::vector<std::string> entry = lastEntry();
  ASSERT_FALSE(entry.empty()) << history();
  EXPECT_NE(entry[0].find(" Import zam\xF3wie\xF1 z Marketgate"), std::string::npos) << entry[0];
  std::string text = joinedLines(entry);
  EXPECT_TRUE(holds(entry, "  Status zam\xF3wie\xF1 do importu: Nowe (id 101)")) << text;
  EXPECT_TRUE(holds(entry,
                    "  Status po przej\xEA"
                    "ciu: W realizacji (id 102)"))
      << text;
  EXPECT_TRUE(holds(entry, "  Zaimportowane (3): 8000, 8001, 8002")) << text;
  EXPECT_TRUE(holds(entry, "  Pomini\xEAte, zaimportowane wcze\x9Cniej (1): 8003")) << text;
  EXPECT_TRUE(holds(entry, "  Zmiana statusu czeka na ponowienie (1): 8001")) << text;
  size_t skipped = text.find("  Komunikat: Pomini\xEAto zam\xF3wienia zaimportowane ju\xBF wcze\x9Cniej: 1.");
  size_t waiting = text.find("  Komunikat: Nie uda\xB3o si\xEA zmieni\xE6 statusu zaimportowanych");
  EXPECT_NE(skipped, std::string::npos) << text;
  EXPECT_NE(waiting, std::string::npos) << text;
  EXPECT_LT(skipped, waiting) << "in the order shown";
  EXPECT_EQ(entry.back().rfind("  Koniec: ", 0), 0u) << text;

  pushHandledOrder("8000");
  entry = lastEntry();
  ASSERT_EQ(entry.size(), 1u) << history();
  EXPECT_NE(entry[0].find(
                " Obs\xB3u\xBFony dokument: nie uda\xB3o si\xEA zmieni\xE6 statusu zam\xF3wienia 8000 w Marketgate"),
            std::string::npos)
      << entry[0];

  setOption("ZamowieniaCzyParagony", "0");
  setOption("PomijajZaimportowane", "0");
  setStatusPositions(1, 1);
  standin::setUniversalImportFails(true);
  runOrderImport();
  standin::setUniversalImportFails(false);
  entry = lastEntry();
  text = joinedLines(entry);
  EXPECT_TRUE(holds(entry, "  Zmiana statusu ponowiona z powodzeniem (2): 8001, 8000")) << text;
  EXPECT_TRUE(holds(entry,
                    "  Status po przej\xEA"
                    "ciu: bez zmiany"))
      << text;
  EXPECT_NE(text.find("  Niezaimportowane, plik odrzucony albo niezapisany (3): "), std::string::npos) << text;
  EXPECT_NE(text.find("marketgate.edi przeniesiono do "), std::string::npos) << text;
  EXPECT_NE(text.find("  Komunikat: Import uniwersalny nie przyj\xB9\xB3"), std::string::npos) << text;
  EXPECT_EQ(history().rfind("# ", 0), 0u) << "the comment at the top names the code page";
}

// Entries over a year old leave; past the size the oldest leave first (the
// undated lines of a damaged head before any), the new entry always stays.
TEST_F(ImportHistoryTest, HistoryAtItsBoundDropsItsOldestEntries) {
  const std::vector<std::string> old = {"# komentarz",
                                        "cos bez daty",
                                        "2025-12-01 10:00:00 Import",
                                        "  a",
                                        "2026-06-01 10:00:00 Import",
                                        "  b",
                                        "2026-11-01 10:00:00 Dokument"};
  const std::vector<std::string> entry = {"2026-12-09 12:00:00 Import", "  c"};
  std::vector<std::string> kept = boundedHistory(old, entry, "2026-12-09", 1 << 20);
  ASSERT_GE(kept.size(), 2u);
  EXPECT_EQ(kept[0].rfind("# ", 0), 0u);
  std::vector<std::string> body(kept.begin() + 2, kept.end());
  EXPECT_EQ(body, (std::vector<std::string>{"cos bez daty", "2026-06-01 10:00:00 Import", "  b",
                                            "2026-11-01 10:00:00 Dokument", "2026-12-09 12:00:00 Import", "  c"}))
      << "2025-12-01 is more than a year old";

  size_t room = 0;
  for (size_t i = 0; i < 2; ++i) room += kept[i].size() + 2;
  for (const char* line : {"2026-11-01 10:00:00 Dokument", "2026-12-09 12:00:00 Import", "  c"}) {
    room += std::string(line).size() + 2;
  }
  body.assign(kept.begin() + 2, kept.end());
  kept = boundedHistory(old, entry, "2026-12-09", room);
  body.assign(kept.begin() + 2, kept.end());
  EXPECT_EQ(body, (std::vector<std::string>{"2026-11-01 10:00:00 Dokument", "2026-12-09 12:00:00 Import", "  c"}));
  kept = boundedHistory(old, entry, "2026-12-09", 0);
  body.assign(kept.begin() + 2, kept.end());
  EXPECT_EQ(body, entry);

  // A real history at its bound: the import's entry goes in, the oldest out.
  startShop(shopJson({orderJson(8000)}));
  std::string full;
  const std::string filler(200, 'x');
  int entries = 0;
  for (; full.size() < kImportHistoryBytes; ++entries) {
    full += "2026-12-01 10:00:00 Import " + std::to_string(entries) + "\n  " + filler + "\n";
  }
  writeWholeFile(workDir.file(kHistory), full);
  runOrderImport();
  std::uintmax_t size = std::filesystem::file_size(workDir.file(kHistory));
  EXPECT_LE(size, kImportHistoryBytes);
  EXPECT_GT(size, kImportHistoryBytes / 10 * 9);
  std::string text = history();
  EXPECT_EQ(text.find("Import 0\n"), std::string::npos);
  EXPECT_NE(text.find("Import " + std::to_string(entries - 1) + "\n"), std::string::npos);
  EXPECT_TRUE(holds(lastEntry(), "  Zaimportowane (1): 8000")) << text.substr(text.size() - 500);
}

// A history of bytes no import wrote is kept as read and the entry added; a
// history that cannot be written is told once and the orders still booked.
TEST_F(ImportHistoryTest, DamagedHistoryDoesNotStopAnImport) {
  startShop(shopJson({orderJson(8000)}));
  std::string damaged("zepsuty\0wiersz\r\n\xFF\xFE", 18);
  damaged += std::string(5000, 'y');  // a long line without a line end
  writeWholeFile(workDir.file(kHistory), damaged);
  runOrderImport();
  ASSERT_EQ(standin::storedDocuments().size(), 1u);
  std::string text = history();
  EXPECT_NE(text.find(std::string(5000, 'y')), std::string::npos) << "kept as read";
  EXPECT_TRUE(holds(lastEntry(), "  Zaimportowane (1): 8000"));

  std::filesystem::remove(workDir.file(kHistory));
  std::filesystem::create_directory(workDir.file(kHistory));
  standin::clearMessages();
  setOption("PomijajZaimportowane", "0");
  runOrderImport();
  EXPECT_EQ(standin::storedDocuments().size(), 2u);
  int told = 0;
  for (const standin::ShownMessage& message : standin::messages()) {
    if (message.text.rfind("Nie uda\x92o si\x91 zapisa\x8D historii import\xA2w w pliku ", 0) == 0) ++told;
  }
  EXPECT_EQ(told, 1);
  EXPECT_TRUE(std::filesystem::is_directory(workDir.file(kHistory)));
}

}  // namespace
