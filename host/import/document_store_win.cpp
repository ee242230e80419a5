// The document store of the Windows stand-in: without SQLite there, the
// documents, positions and customer records the universal import brought in
// are kept in the text file "tomiks-documents.txt" of the working directory,
// so that they outlive the program run as the database does elsewhere, with
// the same answers. One record per line, fields apart by tabs (texts UTF-8,
// with backslash escapes for backslash, tab, CR and LF):
//   D id register number orderNumber customer currency total fields
//   P documentId number symbol name unit vat quantity grossPrice
//   C symbol name address email
// A committed import adds its records at the end, the file being replaced as
// a whole; a later customer record of the same symbol replaces the earlier one.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "text/codepages.h"
#include "import/document_store.h"
#include "control/host_control.h"

namespace standin {

namespace {

constexpr char kDocumentFile[] = "tomiks-documents.txt";

std::string storePath() { return workingDirectory() + "/" + kDocumentFile; }

std::string utf8(const std::string* cp1250) { return cp1250 != nullptr ? cp1250ToUtf8(*cp1250) : std::string(); }

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
  return out;
}

std::string unescaped(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    char next = text[++i];
    out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
  }
  return out;
}

std::string number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.17g", value);
  return text;
}

std::string line(std::initializer_list<std::string> fields) {
  std::string text;
  for (const std::string& field : fields) text += (text.empty() ? "" : "\t") + escaped(field);
  return text + "\n";
}

std::vector<std::string> splitFields(const std::string& text) {
  std::vector<std::string> fields;
  size_t at = 0;
  for (;;) {
    size_t tab = text.find('\t', at);
    fields.push_back(unescaped(text.substr(at, tab == std::string::npos ? std::string::npos : tab - at)));
    if (tab == std::string::npos) return fields;
    at = tab + 1;
  }
}

std::string fieldsText(const std::map<std::string, std::string>& fields) {
  std::string text;
  for (const auto& field : fields) text += field.first + "=" + field.second + "\n";
  return text;
}

std::map<std::string, std::string> parseFields(const std::string& text) {
  std::map<std::string, std::string> fields;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string entry = text.substr(at, end - at);
    size_t equals = entry.find('=');
    if (equals != std::string::npos) fields[entry.substr(0, equals)] = entry.substr(equals + 1);
    at = end + 1;
  }
  return fields;
}

// Everything the file holds: documents in import order, customers by symbol.
struct StoreContent {
  std::vector<StoredDocument> documents;
  std::map<std::string, StoredCustomer> customers;
};

void readRecord(const std::vector<std::string>& f, StoreContent& content) {
  if (f[0] == "D" && f.size() == 9) {
    StoredDocument document;
    document.id = std::strtol(f[1].c_str(), nullptr, 10);
    document.registerName = f[2];
    document.number = f[3];
    document.orderNumber = f[4];
    document.customer = f[5];
    document.currency = f[6];
    document.total = std::strtod(f[7].c_str(), nullptr);
    document.fields = parseFields(f[8]);
    content.documents.push_back(std::move(document));
  } else if (f[0] == "P" && f.size() == 9) {
    long id = std::strtol(f[1].c_str(), nullptr, 10);
    for (auto it = content.documents.rbegin(); it != content.documents.rend(); ++it) {
      if (it->id != id) continue;
      it->positions.push_back(StoredPosition{static_cast<int>(std::strtol(f[2].c_str(), nullptr, 10)), f[3], f[4], f[5],
                                             f[6], std::strtod(f[7].c_str(), nullptr),
                                             std::strtod(f[8].c_str(), nullptr)});
      break;
    }
  } else if (f[0] == "C" && f.size() == 5) {
    content.customers[f[1]] = StoredCustomer{f[1], f[2], f[3], f[4]};
  }
}

std::string readBytes(const std::string& path) {
  std::string text;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) return text;
  char buffer[8192];
  size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  std::fclose(file);
  return text;
}

StoreContent readStore() {
  StoreContent content;
  const std::string text = readBytes(storePath());
  size_t at = 0;
  for (size_t end = text.find('\n'); end != std::string::npos; at = end + 1, end = text.find('\n', at)) {
    readRecord(splitFields(text.substr(at, end - at)), content);
  }
  return content;
}

long nextDocumentId() {
  long last = 0;
  for (const StoredDocument& document : readStore().documents) last = document.id > last ? document.id : last;
  return last + 1;
}

StoredDocument storedForm(const ImportDocument& document) {
  StoredDocument stored;
  stored.id = 0;
  stored.registerName = document.registerName;
  const std::string* number = document.find("NrDok");
  stored.number = utf8(number != nullptr ? number : document.find("NrPar"));
  stored.orderNumber = documentOrderNumber(document);
  stored.customer = utf8(document.find("SymbolKontrahenta"));
  stored.currency = utf8(document.find("WalutaNazwa"));
  stored.total = documentTotal(document);
  for (const ImportEntry& entry : document.entries) stored.fields[std::string(entry.key)] = cp1250ToUtf8(entry.value);
  for (const ImportPosition& position : document.positions) {
    const std::string* quantity = position.find("Ilosc");
    const std::string* price = position.find("CenaBrutto");
    stored.positions.push_back(StoredPosition{
        position.number, utf8(position.find("Symbol")), utf8(position.find("Nazwa")), utf8(position.find("Jm")),
        utf8(position.find("Vat")), quantity != nullptr ? std::strtod(quantity->c_str(), nullptr) : 0.0,
        price != nullptr ? std::strtod(price->c_str(), nullptr) : 0.0});
  }
  return stored;
}

std::string documentLines(const StoredDocument& document) {
  std::string id = std::to_string(document.id);
  std::string text = line({"D", id, document.registerName, document.number, document.orderNumber, document.customer,
                           document.currency, number(document.total), fieldsText(document.fields)});
  for (const StoredPosition& position : document.positions) {
    text += line({"P", id, std::to_string(position.number), position.symbol, position.name, position.unit, position.vat,
                  number(position.quantity), number(position.grossPrice)});
  }
  return text;
}

}  // namespace

// Records of one import wait here until commit().
struct DocumentStoreWriter::Store {
  std::vector<StoredDocument> documents;
  std::vector<StoredCustomer> customers;
};

DocumentStoreWriter::DocumentStoreWriter() : store_(new Store) {}
DocumentStoreWriter::~DocumentStoreWriter() { delete store_; }

bool DocumentStoreWriter::add(const ImportDocument& document) {
  if (document.isCustomerRecord()) {
    const ImportPosition& position = document.positions.front();
    const std::string* email = position.find("Email");
    store_->customers.push_back(
        StoredCustomer{utf8(position.find("SymbolKontrahenta")), utf8(position.find("NazwaKontrahenta")),
                       utf8(position.find("AdresKontrahenta")),
                       email != nullptr && !email->empty() ? cp1250ToUtf8(email->substr(1)) : std::string()});
    summary_.customers += 1;
    return true;
  }
  store_->documents.push_back(storedForm(document));
  summary_.documents += 1;
  summary_.orderNumbers.push_back(store_->documents.back().orderNumber);
  return true;
}

bool DocumentStoreWriter::commit() {
  long id = nextDocumentId();
  std::string text;
  for (StoredDocument& document : store_->documents) {
    document.id = id++;
    text += documentLines(document);
  }
  for (const StoredCustomer& customer : store_->customers) {
    text += line({"C", customer.symbol, customer.name, customer.address, customer.email});
  }
  store_->documents.clear();
  store_->customers.clear();
  if (text.empty()) return true;
  // The file is replaced as a whole, so an import is kept entirely or not at all.
  std::string content = readBytes(storePath()) + text;
  std::string fresh = storePath() + ".tmp";
  std::FILE* file = std::fopen(fresh.c_str(), "wb");
  if (file == nullptr) {
    error_ = "cannot open " + fresh;
    return false;
  }
  bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  written = std::fclose(file) == 0 && written;
  std::error_code renamed;
  if (written) std::filesystem::rename(fresh, storePath(), renamed);
  if (!written || renamed) {
    std::remove(fresh.c_str());
    error_ = "cannot write " + storePath();
    return false;
  }
  return true;
}

std::vector<StoredDocument> storedDocuments() { return readStore().documents; }

std::vector<StoredCustomer> storedCustomers() {
  std::vector<StoredCustomer> list;
  for (const auto& entry : readStore().customers) list.push_back(entry.second);
  return list;
}

}  // namespace standin
