// The document store in "tomiks-documents.sqlite": documents with every key
// of their "[Dokument]" section, their positions, and customer records by
// symbol. Texts are stored in UTF-8.
#include "import/document_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string_view>

#include "text/codepages.h"
#include "control/host_control.h"

namespace standin {

namespace {

constexpr char kSchema[] =
    "CREATE TABLE IF NOT EXISTS documents(id INTEGER PRIMARY KEY AUTOINCREMENT, register TEXT NOT NULL,"
    " number TEXT NOT NULL, order_number TEXT NOT NULL, customer TEXT NOT NULL, currency TEXT NOT NULL,"
    " total REAL NOT NULL, fields TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS positions(document_id INTEGER NOT NULL REFERENCES documents(id),"
    " number INTEGER NOT NULL, symbol TEXT NOT NULL, name TEXT NOT NULL, unit TEXT NOT NULL,"
    " quantity REAL NOT NULL, gross_price REAL NOT NULL, vat TEXT NOT NULL);"
    "CREATE TABLE IF NOT EXISTS customers(symbol TEXT PRIMARY KEY, name TEXT NOT NULL, address TEXT NOT NULL,"
    " email TEXT NOT NULL);";

// One open database for the length of one operation, used by one thread
// (so without SQLite's locking of the connection on every call).
class Database {
 public:
  Database() {
    std::string path = workingDirectory() + "/" + kDocumentDatabase;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
      error_ = db_ != nullptr ? sqlite3_errmsg(db_) : "cannot open " + path;
      return;
    }
    sqlite3_busy_timeout(db_, 5000);
    execute(kSchema);
  }
  ~Database() { sqlite3_close(db_); }
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  sqlite3* handle() { return db_; }

  bool execute(const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
      error_ = message != nullptr ? message : "SQLite error";
      sqlite3_free(message);
      return false;
    }
    return true;
  }

  void setError(const std::string& error) {
    if (error_.empty()) error_ = error;
  }

 private:
  sqlite3* db_ = nullptr;
  std::string error_;
};

// A prepared statement, finalised when it goes. The texts it binds are kept
// in its own room, reused from one run to the next.
class Statement {
 public:
  Statement(Database& db, const char* sql) : db_(db) {
    if (db.ok() && sqlite3_prepare_v2(db.handle(), sql, -1, &statement_, nullptr) != SQLITE_OK) {
      db.setError(sqlite3_errmsg(db.handle()));
    }
    if (statement_) texts_.resize(static_cast<size_t>(sqlite3_bind_parameter_count(statement_)));
  }
  ~Statement() { sqlite3_finalize(statement_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  // The emptied room for the text of parameter index, bound by boundText.
  std::string& textRoom(int index) {
    std::string& room = texts_.at(static_cast<size_t>(index) - 1);
    room.clear();
    return room;
  }
  Statement& boundText(int index) {
    const std::string& room = texts_.at(static_cast<size_t>(index) - 1);
    if (statement_) sqlite3_bind_text(statement_, index, room.c_str(), static_cast<int>(room.size()), SQLITE_STATIC);
    return *this;
  }
  Statement& text(int index, std::string_view value) {
    textRoom(index).assign(value);
    return boundText(index);
  }
  // Binds a Windows-1250 text in UTF-8.
  Statement& utf8Text(int index, std::string_view cp1250) {
    appendConverted(textRoom(index), cp1250, kCodeCp1250, kCodeUtf8);
    return boundText(index);
  }
  Statement& number(int index, double value) {
    if (statement_) sqlite3_bind_double(statement_, index, value);
    return *this;
  }
  Statement& integer(int index, sqlite3_int64 value) {
    if (statement_) sqlite3_bind_int64(statement_, index, value);
    return *this;
  }
  // Runs a statement that returns no rows, ready to be bound again.
  bool run() {
    if (!statement_) return false;
    int result = sqlite3_step(statement_);
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    if (result != SQLITE_DONE) {
      db_.setError(sqlite3_errmsg(db_.handle()));
      return false;
    }
    return true;
  }
  bool nextRow() { return statement_ && sqlite3_step(statement_) == SQLITE_ROW; }
  std::string columnText(int index) {
    const unsigned char* text = sqlite3_column_text(statement_, index);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
  }
  double columnNumber(int index) { return sqlite3_column_double(statement_, index); }
  sqlite3_int64 columnInteger(int index) { return sqlite3_column_int64(statement_, index); }

 private:
  Database& db_;
  sqlite3_stmt* statement_ = nullptr;
  std::vector<std::string> texts_;  // of the parameters, by index - 1
};

// A key's value as stored, "" when the key is missing.
std::string_view valueOf(const std::string* value) {
  return value != nullptr ? std::string_view(*value) : std::string_view();
}

// Every key of the document's "[Dokument]" section as "key=value" lines.
void writeFields(const ImportDocument& document, std::string& text) {
  for (const ImportEntry& entry : document.entries) {
    text.append(entry.key);
    text += '=';
    appendConverted(text, entry.value, kCodeCp1250, kCodeUtf8);
    text += '\n';
  }
}

std::map<std::string, std::string> parseFields(const std::string& text) {
  std::map<std::string, std::string> fields;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    size_t equals = line.find('=');
    if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
    at = end + 1;
  }
  return fields;
}

bool storeCustomer(Statement& insert, const ImportDocument& record) {
  const ImportPosition& position = record.positions.front();
  std::string_view email = valueOf(position.find("Email"));
  return insert.utf8Text(1, valueOf(position.find("SymbolKontrahenta")))
      .utf8Text(2, valueOf(position.find("NazwaKontrahenta")))
      .utf8Text(3, valueOf(position.find("AdresKontrahenta")))
      .utf8Text(4, email.empty() ? email : email.substr(1))
      .run();
}

bool storeDocument(Database& db, Statement& insertDocument, Statement& insertPosition, const ImportDocument& document,
                   const std::string& orderNumber) {
  const std::string* number = document.find("NrDok");
  if (number == nullptr) number = document.find("NrPar");
  writeFields(document, insertDocument.textRoom(7));
  bool stored = insertDocument.text(1, document.registerName)
                    .utf8Text(2, valueOf(number))
                    .text(3, orderNumber)
                    .utf8Text(4, valueOf(document.find("SymbolKontrahenta")))
                    .utf8Text(5, valueOf(document.find("WalutaNazwa")))
                    .number(6, documentTotal(document))
                    .boundText(7)
                    .run();
  if (!stored) return false;
  sqlite3_int64 id = sqlite3_last_insert_rowid(db.handle());
  for (const ImportPosition& position : document.positions) {
    const std::string* quantity = position.find("Ilosc");
    const std::string* price = position.find("CenaBrutto");
    bool ok = insertPosition.integer(1, id)
                  .integer(2, position.number)
                  .utf8Text(3, valueOf(position.find("Symbol")))
                  .utf8Text(4, valueOf(position.find("Nazwa")))
                  .utf8Text(5, valueOf(position.find("Jm")))
                  .number(6, quantity != nullptr ? std::strtod(quantity->c_str(), nullptr) : 0.0)
                  .number(7, price != nullptr ? std::strtod(price->c_str(), nullptr) : 0.0)
                  .utf8Text(8, valueOf(position.find("Vat")))
                  .run();
    if (!ok) return false;
  }
  return true;
}

}  // namespace

// One transaction with its prepared statements.
struct DocumentStoreWriter::Store {
  Database db;
  Statement insertDocument{db,
                           "INSERT INTO documents(register, number, order_number, customer, currency, total, fields)"
                           " VALUES(?, ?, ?, ?, ?, ?, ?)"};
  Statement insertPosition{db,
                           "INSERT INTO positions(document_id, number, symbol, name, unit, quantity, gross_price,"
                           " vat) VALUES(?, ?, ?, ?, ?, ?, ?, ?)"};
  Statement insertCustomer{db, "INSERT OR REPLACE INTO customers(symbol, name, address, email) VALUES(?, ?, ?, ?)"};
  bool open = db.ok() && db.execute("BEGIN");
};

DocumentStoreWriter::DocumentStoreWriter() : store_(new Store) {}

DocumentStoreWriter::~DocumentStoreWriter() {
  if (store_->open) sqlite3_exec(store_->db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
  delete store_;
}

bool DocumentStoreWriter::add(const ImportDocument& document) {
  Store& store = *store_;
  bool stored = false;
  if (store.open && document.isCustomerRecord()) {
    stored = storeCustomer(store.insertCustomer, document);
    if (stored) summary_.customers += 1;
  } else if (store.open) {
    std::string orderNumber = documentOrderNumber(document);
    stored = storeDocument(store.db, store.insertDocument, store.insertPosition, document, orderNumber);
    if (stored) {
      summary_.documents += 1;
      summary_.orderNumbers.push_back(orderNumber);
    }
  }
  if (!stored) error_ = store.db.error().empty() ? "the document store is not open" : store.db.error();
  return stored;
}

bool DocumentStoreWriter::commit() {
  Store& store = *store_;
  if (store.open && store.db.ok() && store.db.execute("COMMIT")) {
    store.open = false;
    return true;
  }
  error_ = store.db.error();
  return false;
}

std::vector<StoredDocument> storedDocuments() {
  std::vector<StoredDocument> documents;
  Database db;
  Statement select(db,
                   "SELECT id, register, number, order_number, customer, currency, total, fields FROM documents"
                   " ORDER BY id");
  while (select.nextRow()) {
    StoredDocument document;
    document.id = static_cast<long>(select.columnInteger(0));
    document.registerName = select.columnText(1);
    document.number = select.columnText(2);
    document.orderNumber = select.columnText(3);
    document.customer = select.columnText(4);
    document.currency = select.columnText(5);
    document.total = select.columnNumber(6);
    document.fields = parseFields(select.columnText(7));
    documents.push_back(std::move(document));
  }
  Statement positions(db,
                      "SELECT document_id, number, symbol, name, unit, vat, quantity, gross_price FROM positions"
                      " ORDER BY document_id, number");
  size_t at = 0;
  while (positions.nextRow()) {
    long id = static_cast<long>(positions.columnInteger(0));
    while (at < documents.size() && documents[at].id < id) ++at;
    if (at == documents.size() || documents[at].id != id) continue;
    documents[at].positions.push_back(StoredPosition{
        static_cast<int>(positions.columnInteger(1)), positions.columnText(2), positions.columnText(3),
        positions.columnText(4), positions.columnText(5), positions.columnNumber(6), positions.columnNumber(7)});
  }
  return documents;
}

std::vector<StoredCustomer> storedCustomers() {
  std::vector<StoredCustomer> customers;
  Database db;
  Statement select(db, "SELECT symbol, name, address, email FROM customers ORDER BY symbol");
  while (select.nextRow()) {
    customers.push_back(
        StoredCustomer{select.columnText(0), select.columnText(1), select.columnText(2), select.columnText(3)});
  }
  return customers;
}

}  // namespace standin
