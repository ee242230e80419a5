// The stand-in's side of the import: current date, date difference and
// rates; the strict reading of import files (a malformed file is refused
// with its line and nothing is stored); the document store and its listing.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "hostlink/host_abi.h"
#include "control/host_control.h"
#include "import/import_fixture.h"
#include "import/import_configs.h"

// The stand-in's host functions, called as the plug-in calls them: on
// Windows the host module exports them by ordinal only.
#ifdef _WIN32
#include <windows.h>

template <class Function>
Function hostExport(unsigned ordinal) {
  FARPROC found = GetProcAddress(GetModuleHandleA("TOMIKS"), MAKEINTRESOURCEA(ordinal));
  return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}
#define ordinal_30204 hostExport<host_abi::CurrentDateFn>(30204)
#define ordinal_30908 hostExport<host_abi::DateDifferenceFn>(30908)
#define ordinal_51774 hostExport<host_abi::ExchangeRateFn>(51774)
#define ordinal_52401 hostExport<host_abi::RunUniversalImportFn>(52401)
#else
extern "C" {
const char* MG_STDCALL ordinal_30204();
int32_t MG_STDCALL ordinal_30908(const char*, const char*);
double MG_STDCALL ordinal_51774(const char*, const char*, int32_t, int32_t, int32_t);
int32_t MG_STDCALL ordinal_52401(int32_t, const char*, uint32_t, int32_t, int32_t, int32_t, int32_t);
}

#endif

namespace {

const char kHeader[] = "[Info]\nProgram=Marketgate\nKodowanie=Windows 1250\n\n";

const char kReceipt[] =
    "\n[Dokument]\nRejestr=Paragony\nUwagi=Zam:41;Email:a@b.pl\nTypDok=2\nNrPar=41\nNrDok=41\n"
    "SymbolKontrahenta=jan\nNazwaKontrahenta=Jan \xA3ozi\xF1ski \nAdresKontrahenta=ul. Polna 1 00-001 Warszawa\n"
    "WalutaNazwa=PLN\nWalutaKurs=1.0000\nDataSprzed=26.12.08\nDataWyst=26.12.08\n"
    "NrPlatnosci=\nSposobPlatnosci=\nPrzedplataNr=3\nPrzedplata=35.99\n"
    "Termin=0.00\nGotowka=0.00\nKarta=0.00\nBon=0.00\nCzek=0.00\n"
    "\n[ZawartoscDokumentu]\n"
    "\n[Poz1]\nSymbol=KUB-1\nIndeks=KUB-1\nNazwa=Kubek\nJm=SZT\nIlosc=2.00\nCenaBrutto=10.00\nVat=23 %\n"
    "\n[Poz3]\nSymbol=przesylka15.99\nIndeks=przesylka15.99\nNazwa=Kurier\nJm=SZT\nIlosc=1\nCenaBrutto=15.99\n"
    "CenaNetto=13.00\nVat=23 %\n";

// Its position gives its keys in reverse order: keys may stand in any order.
const char kInvoice[] =
    "\n[Dokument]\nRejestr=Firmy\n\n[ZawartoscDokumentu]\n\n[Poz1]\nSymbolKontrahenta=firma\n"
    "NazwaKontrahenta=Firma \nAdresKontrahenta=ul. \x8Cliska 3 30-001 Krak\xF3w\nEmail=:f@b.pl\n"
    "\n[Dokument]\nRejestr=FakturySpr\nUwagi=Zam:42;Email:f@b.pl\nTypDok=2\nNip=5261040828\nNrDok=FV/1/2026f\n"
    "SymbolKontrahenta=firma\nWalutaNazwa=EUR\nWalutaKurs=4.2000\nKraj=DE\nDataSprzed=26.12.08\nDataWyst=26.12.08\n"
    "Termin=14\nGotowka=0.00\nKarta=0.00\nBon=0.00\nCzek=0.00\nBrutto=42.00\nNrPlatnosci=2560\nSposobPlatnosci=pobranie\n"
    "\n[ZawartoscDokumentu]\n\n[Poz1]\nVat=8 %\nCenaBrutto=42.00\nIlosc=1.00\nJm=SZT\n"
    "Nazwa=Herbata 100% li\x9C"
    "ciasta\nIndeks=HER-1\nSymbol=HER-1\n";

class StandinImportTest : public ImportTest {
 protected:
  // Imports the text as "marketgate.edi" through a stored configuration.
  int32_t importText(const std::string& text) {
    std::string path = workDir.file("marketgate.edi");
    writeWholeFile(path, text);
    std::vector<char> record(host_abi::kUniversalImportConfigSize, 0);
    std::copy(path.begin(), path.end(), record.begin() + 0x14);
    EXPECT_TRUE(standin::saveImportConfigRecord("ImportMarketgate", record.data(), record.size()));
    standin::clearMessages();
    return ordinal_52401(1, "ImportMarketgate", 3, 0, 0, 0, 0);
  }
  std::string lastMessage() const { return standin::messages().empty() ? "<none>" : standin::messages().back().text; }
};

TEST_F(StandinImportTest, DatesAndRates) {
  EXPECT_STREQ(ordinal_30204(), "26.12.08");
  standin::setCurrentDate("");
  EXPECT_EQ(std::string(ordinal_30204()).size(), 8u) << "from the clock";
  EXPECT_EQ(ordinal_30908("26.12.08", "26.12.08"), 0);
  EXPECT_EQ(ordinal_30908("26.12.08", "26.11.30"), 8);
  EXPECT_EQ(ordinal_30908("24.03.01", "24.02.28"), 2) << "a leap year";
  EXPECT_EQ(ordinal_30908("26.12.07", "26.12.08"), -1);
  EXPECT_NE(ordinal_30908("26.12.08", ""), 0);
  EXPECT_EQ(ordinal_51774("26.12.08", "EUR", 1, 0, 0), 4.2);
  EXPECT_EQ(ordinal_51774("26.12.08", "USD", 1, 0, 0), 0.0);
}

TEST_F(StandinImportTest, DocumentsCustomersAndPositionsAreStored) {
  std::string text = std::string(kHeader) + kReceipt + kInvoice;
  text.pop_back();  // the last line needs no line end
  EXPECT_EQ(importText(text), 2);
  std::vector<standin::StoredDocument> documents = standin::storedDocuments();
  ASSERT_EQ(documents.size(), 2u);
  EXPECT_EQ(documents[0].registerName, "Paragony");
  EXPECT_EQ(documents[0].number, "41");
  EXPECT_EQ(documents[0].orderNumber, "41");
  EXPECT_EQ(documents[0].fields["NazwaKontrahenta"], "Jan \xC5\x81ozi\xC5\x84ski ");
  EXPECT_DOUBLE_EQ(documents[0].total, 35.99);
  ASSERT_EQ(documents[0].positions.size(), 2u);
  EXPECT_EQ(documents[0].positions[1].number, 3);
  EXPECT_EQ(documents[0].positions[1].symbol, "przesylka15.99");
  EXPECT_EQ(documents[1].registerName, "FakturySpr");
  EXPECT_EQ(documents[1].number, "FV/1/2026f");
  EXPECT_EQ(documents[1].orderNumber, "42") << "from the remarks";
  EXPECT_EQ(documents[1].positions[0].name,
            "Herbata 100% li\xC5\x9B"
            "ciasta");
  EXPECT_EQ(documents[1].positions[0].symbol, "HER-1");
  std::vector<standin::StoredCustomer> customers = standin::storedCustomers();
  ASSERT_EQ(customers.size(), 1u);
  EXPECT_EQ(customers[0].address, "ul. \xC5\x9Aliska 3 30-001 Krak\xC3\xB3w");
  EXPECT_EQ(customers[0].email, "f@b.pl");

  EXPECT_EQ(standin::documentListing(),
            "Rejestr     Numer       Kontrahent  Razem  Waluta   W PLN  Pozycje\n"
            "Paragony    41          jan         35.99  PLN      35.99        2\n"
            "FakturySpr  FV/1/2026f  firma       42.00  EUR     176.40        1\n"
            "2 dokumentów\n");
  EXPECT_EQ(standin::importedCopies().size(), 1u);
}

// The store is the host's books: lines it does not know (or cut short) cost
// nothing of the rest, and a store that cannot be read is never replaced by
// one import's documents.
TEST_F(StandinImportTest, StoreTakesAnyBytesAndIsNeverWrittenOverUnread) {
  const std::string store = workDir.file(standin::kDocumentStoreFile);
  EXPECT_EQ(importText(std::string(kHeader) + kReceipt), 1);
  const char damage[] = "X\t\\\n\0\xFF\nD\t9\tParagony\t7";  // a NUL, and a last line cut short
  writeWholeFile(store, readWholeFile(store) + std::string(damage, sizeof damage - 1));
  EXPECT_EQ(importText(std::string(kHeader) + kInvoice), 1);
  std::vector<standin::StoredDocument> documents = standin::storedDocuments();
  ASSERT_EQ(documents.size(), 2u);
  EXPECT_EQ(documents[1].number, "FV/1/2026f");
  EXPECT_EQ(documents[1].id, documents[0].id + 1);
#ifdef _WIN32
  GTEST_SKIP() << "an unreadable file that can still be renamed over needs /proc";
#else
  const std::string books = readWholeFile(store);
  std::filesystem::rename(store, store + ".saved");
  std::filesystem::create_symlink("/proc/self/mem", store);  // reading its start is an I/O error
  EXPECT_EQ(importText(std::string(kHeader) + kReceipt), -1);
  EXPECT_TRUE(std::filesystem::is_symlink(store));
  std::filesystem::remove(store);
  std::filesystem::rename(store + ".saved", store);
  EXPECT_EQ(readWholeFile(store), books);
#endif
}

TEST_F(StandinImportTest, HeaderAloneImportsNothing) {
  EXPECT_EQ(importText(kHeader), 0);
  EXPECT_EQ(standin::documentListing(), "Brak dokumentów.\n");
}

TEST_F(StandinImportTest, MalformedFilesAreRefusedWithTheLineAndStoreNothing) {
  std::string good = std::string(kHeader) + kReceipt;
  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::pair<std::string, const char*> cases[] = {
      {"[Dokument]\n" + good, "wierszu 1 "},
      {replaced("Kodowanie=Windows 1250", "Kodowanie=UTF-8"), "wierszu 3 "},
      {replaced("Nazwa=Kubek\n", "Nazwa=Kubek\nXL\n"), "wierszu 35 "},
      {replaced("Uwagi=Zam:41;Email:a@b.pl\n", "Uwagi=Zam:41;Email:a@b.pl\n\n"), "wierszu 10 "},
      {replaced("Ilosc=2.00", "Ilosc=2,00"), "wierszu 36 "},
      {replaced("Vat=23 %\n\n[Poz3]", "Vat=23%\n\n[Poz3]"), "wierszu 38 "},
      {replaced("DataWyst=26.12.08", "DataWyst=26.13.08"), "wierszu 18 "},
      {replaced("[Poz3]", "[Poz1]"), "wierszu 40 "},
      {replaced("\n[ZawartoscDokumentu]\n", ""), "wierszu 29 "},
      {replaced("TypDok=2", "Typ=2"), "wierszu 9 "},
      {replaced("TypDok=2\n", ""), "wierszu 28 "},
      {replaced("Rejestr=Paragony", "Rejestr=Faktury"), "wierszu 7 "},
      {replaced("\n[Poz1]", "[Poz1]"), "wierszu 30 "},
      {replaced("NrPar=41\n", "NrPar=41\nNrPar=41\n"), "wierszu 11 "},
      {replaced("Jm=SZT\nIlosc=2.00\nCenaBrutto=10.00\n", "Jm=SZT\n"), "wierszu 38 "},
      {good + "\n[Dokument]\nRejestr=Firmy\nUwagi=x\n\n[ZawartoscDokumentu]\n\n[Poz1]\nEmail=:a@b.pl\n", "wierszu 52 "},
  };
  for (const auto& [text, line] : cases) {
    EXPECT_EQ(importText(text), -1) << line;
    EXPECT_NE(lastMessage().find(line), std::string::npos) << lastMessage();
    EXPECT_NE(lastMessage().find("marketgate.edi"), std::string::npos);
  }
  EXPECT_TRUE(standin::storedDocuments().empty());
  EXPECT_EQ(standin::importedCopies().size(), std::size(cases)) << "every file read is kept";
  EXPECT_EQ(importText(good), 1) << "the unbroken file passes";
}

TEST_F(StandinImportTest, MissingConfigurationOrFileImportsNothing) {
  standin::clearMessages();
  EXPECT_EQ(ordinal_52401(1, "Inny", 3, 0, 0, 0, 0), -1);
  EXPECT_NE(lastMessage().find("Inny"), std::string::npos);
  std::vector<char> record(host_abi::kUniversalImportConfigSize, 0);
  ASSERT_TRUE(standin::saveImportConfigRecord("ImportMarketgate", record.data(), record.size()));
  EXPECT_EQ(ordinal_52401(1, "ImportMarketgate", 3, 0, 0, 0, 0), -1);
}

TEST_F(StandinImportTest, OrderNumberComesFromTheDocumentNumberReceiptOrRemarks) {
  std::string text = kHeader;
  text += "\n[Dokument]\nRejestr=ZamowieniaSpr\nUwagi=a@b.pl\nTypDok=2\nNrDok=7001\n\n[ZawartoscDokumentu]\n";
  text += "\n[Dokument]\nRejestr=Paragony\nUwagi=x\nTypDok=2\nNrPar=7002\nNrDok=FV/9f\n\n[ZawartoscDokumentu]\n";
  text += "\n[Dokument]\nRejestr=Paragony\nUwagi=a@b.pl\nTypDok=2\nPominDaneKontrahenta=1\n\n[ZawartoscDokumentu]\n";
  EXPECT_EQ(importText(text), 3);
  std::vector<standin::StoredDocument> documents = standin::storedDocuments();
  ASSERT_EQ(documents.size(), 3u);
  EXPECT_EQ(documents[0].orderNumber, "7001");
  EXPECT_EQ(documents[1].orderNumber, "7002");
  EXPECT_EQ(documents[2].orderNumber, "");
}

}  // namespace
