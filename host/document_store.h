// The stand-in's document store: the documents, positions and customer
// records the universal import brought in (an SQLite database in the
// working directory; kept in memory on Windows).
#pragma once

#include <string>
#include <vector>

#include "import_file_reader.h"

namespace standin {

struct ImportSummary {
  int documents = 0;  // sales and stock documents
  int customers = 0;  // customer records
  std::vector<std::string> orderNumbers;  // of each document, in order ("" when none)
};

// Stores every document of the file in one transaction (all or nothing).
// False, with the reason in error, when the database cannot be written.
bool storeImportedDocuments(const std::vector<ImportDocument>& documents, ImportSummary& summary,
                            std::string& error);

// Sum of quantity x gross price over the document's positions.
double documentTotal(const ImportDocument& document);

// The service's order number a document carries: "NrDok" unless that is an
// invoice number, else "NrPar", else the number after "Zam:" in "Uwagi".
std::string documentOrderNumber(const ImportDocument& document);

}  // namespace standin
