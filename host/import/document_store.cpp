// The document store: the documents, positions and customer records the
// universal import brought in, kept in the text file "tomiks-documents.txt"
// of the working directory. One record per line, fields apart by tabs
// (texts UTF-8, with backslash escapes for backslash, tab, CR and LF):
//   D id register number orderNumber customer currency total fields
//   P documentId number symbol name unit vat quantity grossPrice
//   C symbol name address email
// A committed import adds its records at the end, the file being replaced as
// a whole under the lock of "tomiks-documents.lock"; a later customer record
// of the same symbol replaces the earlier one. Lines the reader does not
// know are passed over.
#include "import/document_store.h"

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "control/host_control.h"
#include "text/codepages.h"
#include "text/kept_files.h"

namespace standin {

namespace {

constexpr char kHeading[] =
    "# TOMIKS document store: D id register number order customer currency total fields;"
    " P document number symbol name unit vat quantity price; C symbol name address email\n";

std::string storePath() { return workingDirectory() + "/" + kDocumentStoreFile; }
std::string lockPath() { return workingDirectory() + "/" + kDocumentStoreLock; }

// The store's lock for the length of one reading or writing.
struct HeldLock {
  intptr_t lock = lockFile(lockPath());
  ~HeldLock() { unlockFile(lock); }
  HeldLock() = default;
  HeldLock(const HeldLock&) = delete;
  HeldLock& operator=(const HeldLock&) = delete;
  bool held() const { return lock != -1; }
};

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

// The shortest text that reads back as the same number.
std::string numberText(double value) {
  char text[40];
  auto written = std::to_chars(text, text + sizeof text, value);
  return std::string(text, written.ptr);
}

double numberOf(const std::string& text) {
  double value = 0.0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
}

long idOf(const std::string& text) {
  long value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return value;
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
  std::map<long, size_t> documentAt;  // index in documents by id
  std::map<std::string, StoredCustomer> customers;
  long lastId = 0;
};

void readRecord(const std::vector<std::string>& f, StoreContent& content) {
  if (f[0] == "D" && f.size() == 9) {
    StoredDocument document;
    document.id = idOf(f[1]);
    document.registerName = f[2];
    document.number = f[3];
    document.orderNumber = f[4];
    document.customer = f[5];
    document.currency = f[6];
    document.total = numberOf(f[7]);
    document.fields = parseFields(f[8]);
    content.documentAt[document.id] = content.documents.size();
    content.lastId = std::max(content.lastId, document.id);
    content.documents.push_back(std::move(document));
  } else if (f[0] == "P" && f.size() == 9) {
    auto at = content.documentAt.find(idOf(f[1]));
    if (at == content.documentAt.end()) return;
    content.documents[at->second].positions.push_back(
        StoredPosition{static_cast<int>(idOf(f[2])), f[3], f[4], f[5], f[6], numberOf(f[7]), numberOf(f[8])});
  } else if (f[0] == "C" && f.size() == 5) {
    content.customers[f[1]] = StoredCustomer{f[1], f[2], f[3], f[4]};
  }
}

StoreContent parseStore(const std::string& text) {
  StoreContent content;
  size_t at = 0;
  for (size_t end = text.find('\n'); end != std::string::npos; at = end + 1, end = text.find('\n', at)) {
    size_t length = end - at - (end > at && text[end - 1] == '\r');
    readRecord(splitFields(text.substr(at, length)), content);
  }
  // Positions in their numbers' order, as the import file may give them in
  // any order.
  for (StoredDocument& document : content.documents) {
    std::stable_sort(document.positions.begin(), document.positions.end(),
                     [](const StoredPosition& a, const StoredPosition& b) { return a.number < b.number; });
  }
  return content;
}

// The store as it is now; an unreadable store reads as empty (its listing),
// but is never written over (see commit).
StoreContent readStore() {
  HeldLock lock;
  std::string text;
  readWholeFile(storePath(), text);
  return parseStore(text);
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
                           document.currency, numberText(document.total), fieldsText(document.fields)});
  for (const StoredPosition& position : document.positions) {
    text += line({"P", id, std::to_string(position.number), position.symbol, position.name, position.unit, position.vat,
                  numberText(position.quantity), numberText(position.grossPrice)});
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
  Store& store = *store_;
  if (store.documents.empty() && store.customers.empty()) return true;
  HeldLock lock;
  if (!lock.held()) {
    error_ = "cannot lock " + lockPath();
    return false;
  }
  // The new records go after the old ones; a store that exists but cannot be
  // read is not replaced by this import's records alone.
  std::string content;
  WholeRead read = readWholeFile(storePath(), content);
  if (read == WholeRead::kUnreadable) {
    error_ = "cannot read " + storePath();
    return false;
  }
  if (content.empty()) content = kHeading;
  if (content.back() != '\n') content += '\n';  // a last line cut short stays apart
  long id = parseStore(content).lastId + 1;
  for (StoredDocument& document : store.documents) {
    document.id = id++;
    content += documentLines(document);
  }
  for (const StoredCustomer& customer : store.customers) {
    content += line({"C", customer.symbol, customer.name, customer.address, customer.email});
  }
  store.documents.clear();
  store.customers.clear();
  if (!replaceWholeFile(storePath(), content)) {
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
