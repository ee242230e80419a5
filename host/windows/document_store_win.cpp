// The document store of the Windows stand-in: without SQLite there, the
// imported documents and customer records are kept in memory for the
// process's lifetime, with the same answers as the database.
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "codepages.h"
#include "document_store.h"
#include "import_control.h"

namespace standin {

namespace {

std::vector<StoredDocument>& documents() {
  static std::vector<StoredDocument> kept;
  return kept;
}

std::map<std::string, StoredCustomer>& customers() {
  static std::map<std::string, StoredCustomer> kept;
  return kept;
}

std::string utf8(const std::string* cp1250) { return cp1250 != nullptr ? cp1250ToUtf8(*cp1250) : std::string(); }

StoredDocument storedForm(const ImportDocument& document, long id) {
  StoredDocument stored;
  stored.id = id;
  stored.registerName = document.registerName;
  const std::string* number = document.find("NrDok");
  stored.number = utf8(number != nullptr ? number : document.find("NrPar"));
  stored.orderNumber = documentOrderNumber(document);
  stored.customer = utf8(document.find("SymbolKontrahenta"));
  stored.currency = utf8(document.find("WalutaNazwa"));
  stored.total = documentTotal(document);
  for (const ImportEntry& entry : document.entries) stored.fields[entry.key] = cp1250ToUtf8(entry.value);
  for (const ImportPosition& position : document.positions) {
    const std::string* quantity = position.find("Ilosc");
    const std::string* price = position.find("CenaBrutto");
    stored.positions.push_back(StoredPosition{position.number, utf8(position.find("Symbol")),
                                              utf8(position.find("Nazwa")), utf8(position.find("Jm")),
                                              utf8(position.find("Vat")),
                                              quantity != nullptr ? std::strtod(quantity->c_str(), nullptr) : 0.0,
                                              price != nullptr ? std::strtod(price->c_str(), nullptr) : 0.0});
  }
  return stored;
}

}  // namespace

// Documents of one import wait here until commit().
struct DocumentStoreWriter::Store {
  std::vector<StoredDocument> documents;
  std::map<std::string, StoredCustomer> customers;
};

DocumentStoreWriter::DocumentStoreWriter() : store_(new Store) {}
DocumentStoreWriter::~DocumentStoreWriter() { delete store_; }

bool DocumentStoreWriter::add(const ImportDocument& document) {
  if (document.isCustomerRecord()) {
    const ImportPosition& position = document.positions.front();
    const std::string* email = position.find("Email");
    StoredCustomer customer{utf8(position.find("SymbolKontrahenta")), utf8(position.find("NazwaKontrahenta")),
                            utf8(position.find("AdresKontrahenta")),
                            email != nullptr && !email->empty() ? cp1250ToUtf8(email->substr(1)) : std::string()};
    store_->customers[customer.symbol] = customer;
    summary_.customers += 1;
    return true;
  }
  long id = static_cast<long>(documents().size() + store_->documents.size()) + 1;
  store_->documents.push_back(storedForm(document, id));
  summary_.documents += 1;
  summary_.orderNumbers.push_back(store_->documents.back().orderNumber);
  return true;
}

bool DocumentStoreWriter::commit() {
  for (StoredDocument& document : store_->documents) documents().push_back(std::move(document));
  for (auto& entry : store_->customers) customers()[entry.first] = entry.second;
  store_->documents.clear();
  store_->customers.clear();
  return true;
}

std::vector<StoredDocument> storedDocuments() { return documents(); }

std::vector<StoredCustomer> storedCustomers() {
  std::vector<StoredCustomer> list;
  for (const auto& entry : customers()) list.push_back(entry.second);
  return list;
}

}  // namespace standin
