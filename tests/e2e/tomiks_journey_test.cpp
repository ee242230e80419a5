// The host program driven as a user drives it, against the order service
// stand-in: load, import, handle documents, diagnose an incompatible host,
// unload.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <sstream>

#include "e2e/tomiks_run.h"
#include "support/host_fixture.h"
#include "support/mockgate_process.h"

namespace {

struct StatusMove {
  long order;
  int status;
};

class TomiksJourneyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(mock.start(sampleFile("sample-shop.json"))) << "mockgate did not start";
    writeWholeFile(workDir.file("marketgate.ini"), "[API]\nKey=demo-token-123\n");
  }

  TomiksRun tomiks(std::vector<std::string> words, bool withService = true) {
    std::vector<std::string> all = {"--workdir", workDir.path(), "--plain"};
    if (withService) all.insert(all.end(), {"--service", mock.baseUrl()});
    all.insert(all.end(), words.begin(), words.end());
    return runTomiks(all);
  }

  // The setOrderStatus requests mockgate received, in order.
  std::vector<StatusMove> statusMoves() const {
    std::vector<StatusMove> moves;
    std::regex pattern("\"method\": *\"setOrderStatus\".*\"order_id\": *([0-9]+), *\"status_id\": *([0-9]+)");
    for (const std::string& line : mock.logLines()) {
      std::smatch match;
      if (std::regex_search(line, match, pattern)) moves.push_back({std::stol(match[1]), std::stoi(match[2])});
    }
    return moves;
  }

  // As the dialog saves a choice: the position and the status's id.
  void chooseOutgoingStatus(int position, int id) {
    std::string options = readWholeFile(workDir.file("marketgate.ini"));
    options = std::regex_replace(options, std::regex("StatusWyPoz=[0-9]+"), "StatusWyPoz=" + std::to_string(position));
    options = std::regex_replace(options, std::regex("StatusWy=[0-9]+"), "StatusWy=" + std::to_string(id));
    writeWholeFile(workDir.file("marketgate.ini"), options);
  }

  MockgateProcess mock;
  TemporaryDirectory workDir;
};

TEST_F(TomiksJourneyTest, ImportThenHandleDocumentsPushesTheirOrders) {
  TomiksRun import = tomiks({"--answers", sampleFile("sample-answers.txt"), "import"});
  ASSERT_EQ(import.status, 0) << import.output << import.errors;
  EXPECT_EQ(occurrences(import.output, "[notice] Zainstalowano: Import zamówień z Marketgate"), 1) << import.output;
  EXPECT_NE(import.output.find("service requests: getOrderStatusList "), std::string::npos) << import.output;
  EXPECT_NE(import.output.find(", getOrders 1, "), std::string::npos) << import.output;
  std::vector<StatusMove> taken = statusMoves();
  ASSERT_FALSE(taken.empty()) << import.output;
  for (const StatusMove& move : taken) EXPECT_EQ(move.status, 102) << move.order;

  // The import's own listing is what the store holds; told once, the user
  // is not shown the notice again.
  TomiksRun documents = tomiks({"documents"});
  ASSERT_EQ(documents.status, 0);
  EXPECT_NE(import.output.find(documents.output), std::string::npos) << documents.output;
  EXPECT_EQ(documents.output.find("Zainstalowano"), std::string::npos);
  // A program reads the same store one tab-separated line a document: each
  // order taken over is there once.
  TomiksRun table = tomiks({"documents", "--tsv"});
  ASSERT_EQ(table.status, 0) << table.errors;
  std::map<std::string, int> booked;
  std::istringstream lines(table.output);
  for (std::string line; std::getline(lines, line);) {
    std::vector<std::string> fields;
    std::istringstream cells(line);
    for (std::string cell; std::getline(cells, cell, '\t');) fields.push_back(cell);
    ASSERT_EQ(fields.size(), 8u) << line;
    ++booked[fields[3]];
  }
  ASSERT_EQ(booked.size(), taken.size()) << table.output;
  for (const StatusMove& move : taken) EXPECT_EQ(booked[std::to_string(move.order)], 1) << move.order;

  // The order ships: handled in the document table, then through the list,
  // then taken over by the host's event.
  chooseOutgoingStatus(2, 103);
  std::string order = std::to_string(taken.front().order);
  TomiksRun handled = tomiks({"handle", order});
  EXPECT_EQ(handled.status, 0) << handled.output << handled.errors;
  EXPECT_NE(handled.output.find("service requests: getOrderStatusList 1, setOrderStatus 1; answered: HTTP 200 2"),
            std::string::npos)
      << handled.output;
  TomiksRun listed = tomiks({"handle", "--list", std::to_string(taken.back().order)});
  EXPECT_EQ(listed.status, 0) << listed.output << listed.errors;
  TomiksRun event = tomiks({"event", "-2", std::to_string(taken[taken.size() / 2].order)});
  EXPECT_EQ(event.status, 0) << event.output << event.errors;

  std::vector<StatusMove> moves = statusMoves();
  ASSERT_EQ(moves.size(), taken.size() + 3);
  EXPECT_EQ(moves[taken.size()].order, taken.front().order);
  EXPECT_EQ(moves[taken.size() + 1].order, taken.back().order);
  EXPECT_EQ(moves[taken.size() + 2].order, taken[taken.size() / 2].order);
  for (size_t i = taken.size(); i < moves.size(); ++i) EXPECT_EQ(moves[i].status, 103);

  ASSERT_TRUE(mock.stop());
  EXPECT_NE(mock.stateText().find("\"order_id\":" + order + ","), std::string::npos);
}

TEST_F(TomiksJourneyTest, HostOtherThanTheOneBuiltForRefusesAndImportsNothing) {
  TomiksRun run = tomiks({"--level", "111", "--answers", sampleFile("sample-answers.txt"), "import"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.errors.find("refused"), std::string::npos) << run.errors;
  EXPECT_EQ(occurrences(run.output, "[titled: STOP!!!]"), 1) << run.output;
  EXPECT_NE(run.output.find("występują w różnych wersjach"), std::string::npos) << run.output;
  EXPECT_TRUE(mock.logLines().empty()) << "no request reached the service";
}

TEST_F(TomiksJourneyTest, EveryDiagnosisCanBeAskedFromTheCommandLine) {
  struct Case {
    std::vector<std::string> host;
    std::string shown;
  };
  const Case cases[] = {
      {{}, "nie został poprawnie zainicjowany,\nwięc NIE BĘDZIE AKTYWNY!"},
      {{"--level", "113"}, "Moduł \"marketgate.so\" i program występują w różnych wersjach!"},
      {{"--missing", "20940"}, "zaimportować\nfunkcję o numerze 20940 z modułu głównego,\njednak moduł główny jej"},
      {{"--missing", "52256,20940,30018"}, "funkcje o numerach 20940, 30018, 52256 z modułu"},
      {{"--table-size", "45=514", "--table-size", "44=none"},
       "TABELA\tWE WTYCZCE\tW PROGRAMIE\nTspr\t1469\tbrak\n"
       "Tspr_dok\t515\t514\n\nModuł marketgate.so\n"},
      {{"--verify-refuses", "Moduł nie jest podpisany."}, "[titled: STOP!!!] Moduł nie jest podpisany.\n"},
      {{"--missing-features", "0x4"}, "Program nie obsługuje cech 0x00000004,\nktóre są niezbędne dla modułu"},
  };
  for (const Case& test : cases) {
    std::vector<std::string> words = test.host;
    words.push_back("diagnose");
    TomiksRun run = tomiks(words, false);
    EXPECT_EQ(run.status, 0) << test.shown;
    EXPECT_EQ(occurrences(run.output, "[titled: STOP!!!]"), 1) << run.output;
    EXPECT_NE(run.output.find(test.shown), std::string::npos) << run.output;
  }
}

TEST_F(TomiksJourneyTest, MarkupReachesTheTerminalOnlyWithoutPlain) {
  TomiksRun marked = runTomiks({"--workdir", workDir.path(), "--table-size", "44=none", "diagnose"});
  EXPECT_NE(marked.output.find("\x01tp25p40\x01Tspr\t1469\tbrak"), std::string::npos) << marked.output;
  TomiksRun plain = tomiks({"--table-size", "44=none", "diagnose"}, false);
  EXPECT_EQ(plain.output.find('\x01'), std::string::npos) << plain.output;
  EXPECT_EQ(plain.output.find('\x02'), std::string::npos) << plain.output;
}

TEST_F(TomiksJourneyTest, ServiceAddressCanComeFromTheHostProfile) {
  ASSERT_EQ(tomiks({"documents"}, false).status, 0);
  std::string profile = readWholeFile(workDir.file("tomiks.ini"));
  ASSERT_NE(profile.find("[Service]"), std::string::npos) << profile;
  writeWholeFile(workDir.file("tomiks.ini"), "[Service]\nBaseUrl=" + mock.baseUrl() + "\n");
  TomiksRun import = tomiks({"--answers", sampleFile("sample-answers.txt"), "import"}, false);
  EXPECT_EQ(import.status, 0) << import.output << import.errors;
  EXPECT_FALSE(statusMoves().empty()) << import.output;
}

TEST_F(TomiksJourneyTest, CommandLineMistakesAreToldNotRun) {
  EXPECT_EQ(tomiks({"--table-size", "45", "diagnose"}).status, 2);
  EXPECT_EQ(tomiks({"--missing", "abc", "diagnose"}).status, 2);
  EXPECT_EQ(tomiks({"frobnicate"}).status, 2);
  EXPECT_EQ(tomiks({"import", "--frobnicate"}).status, 2) << "an unknown option after the command";
  EXPECT_EQ(tomiks({"documents", "--list"}).status, 2);
  EXPECT_EQ(tomiks({"import", "--tsv"}).status, 2);
  TomiksRun run = tomiks({"handle", "5310002", "5310004"});
  EXPECT_EQ(run.status, 2);
  // A number that names no stored document, and no stored document at all.
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"handle", "5310002"}, {"handle"}, {"event", "-2", "5310002"}, {"event", "-2"}}) {
    run = tomiks(words);
    EXPECT_EQ(run.status, 2) << words[0] << run.errors;
    EXPECT_NE(run.errors.find("no stored document"), std::string::npos) << run.errors;
  }
  run = tomiks({"--answers", workDir.path(), "import"});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.errors.find("--answers names no readable file"), std::string::npos) << run.errors;
  EXPECT_TRUE(mock.logLines().empty());
}

// The host's exchange rates and current date come from its profile and from
// the command line, the line's over the profile's; a bad value of either is
// told and nothing runs.
TEST_F(TomiksJourneyTest, ExchangeRatesAndDateReachTheImportFile) {
  writeWholeFile(workDir.file("tomiks.ini"), "[ExchangeRates]\nEUR=4.1000\nUSD=3.9\n[Clock]\nDate=26.03.15\n");
  TomiksRun import =
      tomiks({"--rate", "EUR=4.2834", "--answers", sampleFile("sample-answers.txt"), "import", "--date=26.03.16"});
  ASSERT_EQ(import.status, 0) << import.output << import.errors;
  std::string files;
  for (const auto& copy : std::filesystem::directory_iterator(workDir.file("imported")))
    files += readWholeFile(copy.path().string());
  EXPECT_NE(files.find("WalutaKurs=4.2834"), std::string::npos) << files;
  EXPECT_EQ(files.find("WalutaKurs=4.1000"), std::string::npos);
  EXPECT_NE(files.find("DataSprzed=26.03.16"), std::string::npos);
  EXPECT_EQ(files.find("26.03.15"), std::string::npos);
  size_t requests = mock.logLines().size();

  for (const std::vector<std::string>& bad : {std::vector<std::string>{"--rate", "EUR=4,28"},
                                              {"--rate", "EUR=-1"},
                                              {"--rate", "EUR=0"},
                                              {"--rate", "EUR"},
                                              {"--rate", "eur=4.2"},
                                              {"--date", "26.02.29"},
                                              {"--date", "2026-03-16"}}) {
    TomiksRun run = tomiks({bad[0], bad[1], "--answers", sampleFile("sample-answers.txt"), "import"});
    EXPECT_EQ(run.status, 2) << bad[1];
    EXPECT_NE(run.errors.find("tomiks: " + bad[0] + " " + bad[1]), std::string::npos) << run.errors;
  }
  writeWholeFile(workDir.file("tomiks.ini"), "[ExchangeRates]\nEUR=x\n");
  TomiksRun profile = tomiks({"--answers", sampleFile("sample-answers.txt"), "import"});
  EXPECT_EQ(profile.status, 2);
  EXPECT_NE(profile.errors.find("tomiks.ini [ExchangeRates] EUR=x: the rate is not a number"), std::string::npos)
      << profile.errors;
  writeWholeFile(workDir.file("tomiks.ini"), "[Clock]\nDate=26.00.10\n");
  EXPECT_EQ(tomiks({"--answers", sampleFile("sample-answers.txt"), "import"}).status, 2);
  EXPECT_EQ(mock.logLines().size(), requests);
}

// A key the service refused and the user entered anew: the import hands its
// file over, so tomiks ends with 0 though the refusal was told on the way.
TEST_F(TomiksJourneyTest, KeyEnteredAnewAfterARefusalEndsInAHandOffAndExitStatusZero) {
  writeWholeFile(workDir.file("marketgate.ini"), "[API]\nKey=wrong\n");
  TomiksRun import =
      tomiks({"--text-answer", "demo-token-123", "--answers", sampleFile("sample-answers.txt"), "import"});
  EXPECT_EQ(import.status, 0) << import.output << import.errors;
  EXPECT_NE(import.output.find("nie przyjął klucza"), std::string::npos) << import.output;
  EXPECT_FALSE(statusMoves().empty()) << import.output;
}

// Options after the command are honoured: the service named there is the
// one used and told; a cancelled or failed import ends with 1.
TEST_F(TomiksJourneyTest, OptionsStandAnywhereAndTheExitStatusTellsTheOutcome) {
  TomiksRun import = runTomiks({"import", "--workdir", workDir.path(), "--plain", "--service=" + mock.baseUrl(),
                                "--answers", sampleFile("sample-answers.txt")});
  ASSERT_EQ(import.status, 0) << import.output << import.errors;
  EXPECT_EQ(import.output.rfind("Service: " + mock.baseUrl() + "\n", 0), 0u) << import.output;
  EXPECT_FALSE(statusMoves().empty()) << import.output;

  // No answers and no terminal: the dialog closes as if ESC was pressed.
  TomiksRun cancelled = tomiks({"import"});
  EXPECT_EQ(cancelled.status, 1) << cancelled.output << cancelled.errors;
  TomiksRun unreachable = runTomiks({"--workdir", workDir.path(), "--service", "http://127.0.0.1:1", "--answers",
                                     sampleFile("sample-answers.txt"), "import"});
  EXPECT_EQ(unreachable.status, 1) << unreachable.output << unreachable.errors;
  EXPECT_EQ(unreachable.output.rfind("Service: http://127.0.0.1:1\n", 0), 0u) << unreachable.output;
  TomiksRun handled = runTomiks({"--workdir", workDir.path(), "--service", "http://127.0.0.1:1", "handle"});
  EXPECT_EQ(handled.status, 1) << handled.output << handled.errors;
}

}  // namespace
