// The stand-in's document store: the documents, positions and customer
// records the universal import brought in, kept in a text file of the
// working directory on every build (document_store.cpp tells its lines).
#pragma once

#include <string>
#include <vector>

#include "import/import_file_reader.h"

namespace standin {

struct ImportSummary {
  int documents = 0;                      // sales and stock documents
  int customers = 0;                      // customer records
  std::vector<std::string> orderNumbers;  // of each document, in order ("" when none)
};

// Stores the documents of one import as they are read, all or nothing:
// they stay apart until commit(); without it they are dropped.
class DocumentStoreWriter {
 public:
  DocumentStoreWriter();
  ~DocumentStoreWriter();
  DocumentStoreWriter(const DocumentStoreWriter&) = delete;
  DocumentStoreWriter& operator=(const DocumentStoreWriter&) = delete;

  // False (with error() telling why) when the document cannot be stored.
  bool add(const ImportDocument& document);
  bool commit();
  const std::string& error() const { return error_; }
  const ImportSummary& summary() const { return summary_; }

 private:
  struct Store;
  Store* store_;
  ImportSummary summary_;
  std::string error_;
};

// Sum of quantity x gross price over the document's positions.
double documentTotal(const ImportDocument& document);

// The service's order number a document carries: "NrDok" unless that is an
// invoice number, else "NrPar", else the number after "Zam:" in "Uwagi".
std::string documentOrderNumber(const ImportDocument& document);

}  // namespace standin
