// Control of the stand-in's universal import from tests and the tomiks
// program: the current date and the exchange rates the host gives, and what
// the import stored (documents, customer records, copies of imported files).
// Included by host_control.h.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace standin {

// The host's current date (ordinal 30204) as "YY.MM.DD"; an empty text
// follows the clock again (the default).
void setCurrentDate(const std::string& date);
// The host's exchange rate of a currency (ordinal 51774); a currency without
// a rate gives 0.
void setExchangeRate(const std::string& currency, double rate);
// The universal import (ordinal 52401) refuses every file: it reads and
// stores nothing, says so, and gives -1.
void setUniversalImportFails(bool fails);

// Universal-import configurations are kept by name in this file of the
// working directory; documents in this text file beside it, written under
// the lock of the file after it; every imported file is copied into the
// folder below, numbered in import order.
constexpr const char kImportConfigFile[] = "tomiks-import-configs.bin";
constexpr const char kDocumentStoreFile[] = "tomiks-documents.txt";
constexpr const char kDocumentStoreLock[] = "tomiks-documents.lock";
constexpr const char kImportedFolder[] = "imported";

struct StoredPosition {
  int number;
  std::string symbol, name, unit, vat;  // UTF-8
  double quantity, grossPrice;
};

struct StoredDocument {
  long id;
  std::string registerName;                   // "Paragony", "FakturySpr", ...
  std::string number;                         // "NrDok", else "NrPar", else ""
  std::string orderNumber;                    // the service's order number, "" when none
  std::string customer;                       // "SymbolKontrahenta"
  std::string currency;                       // "WalutaNazwa"
  double total;                               // sum of quantity x gross price of the positions
  std::map<std::string, std::string> fields;  // every key of "[Dokument]", UTF-8
  std::vector<StoredPosition> positions;
};

struct StoredCustomer {
  std::string symbol, name, address, email;  // UTF-8
};

// What the document store of the working directory holds, in import order.
std::vector<StoredDocument> storedDocuments();
std::vector<StoredCustomer> storedCustomers();
// The stored documents as a readable table (UTF-8): register, number,
// customer, total, currency, the total in PLN (converted with the
// document's rate), number of positions.
std::string documentListing();
// The stored documents for a program to read: one line a document, its
// fields apart by tabs (a tab, CR or LF within a text given as a space): id,
// register, number, order number, customer, currency, total with two
// decimals, number of positions.
std::string documentTable();
// What each run of the universal import (52401) returned, in order: the
// number of documents stored, or -1 when it stored nothing.
const std::vector<int32_t>& universalImportResults();
// Paths of the copies of imported files, oldest first.
std::vector<std::string> importedCopies();

}  // namespace standin
