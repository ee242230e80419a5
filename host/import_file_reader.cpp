// Strict reading of a universal-import file. Lines end in LF (or CR LF); an
// empty line may stand only before a section header or at the end; "[Info]"
// opens the file; every document is "[Dokument]", "[ZawartoscDokumentu]"
// and its "[PozN]" sections with rising numbers.
#include "import_file_reader.h"

#include <cstdlib>
#include <cstring>
#include <set>

namespace standin {

namespace {

enum class Section { None, Info, Document, Contents, Position };

enum class ValueKind { Text, NonEmpty, Decimal, Integer, IntegerOrEmpty, Date, One, Vat, Email, Register, Coding };

struct KeyRule {
  const char* key;
  ValueKind kind;
};

const KeyRule kInfoKeys[] = {{"Program", ValueKind::NonEmpty}, {"Kodowanie", ValueKind::Coding}};

const KeyRule kDocumentKeys[] = {
    {"Rejestr", ValueKind::Register},      {"Uwagi", ValueKind::Text},
    {"TypDok", ValueKind::Integer},        {"NrPar", ValueKind::Integer},
    {"Nip", ValueKind::Text},              {"NrDok", ValueKind::NonEmpty},
    {"PominDaneKontrahenta", ValueKind::One}, {"SymbolKontrahenta", ValueKind::Text},
    {"NazwaKontrahenta", ValueKind::Text}, {"AdresKontrahenta", ValueKind::Text},
    {"SymbolOdbiorcy", ValueKind::Text},   {"NazwaOdbiorcy", ValueKind::Text},
    {"AdresOdbiorcy", ValueKind::Text},    {"WalutaNazwa", ValueKind::NonEmpty},
    {"WalutaKurs", ValueKind::Decimal},    {"Kraj", ValueKind::NonEmpty},
    {"DataSprzed", ValueKind::Date},       {"DataWyst", ValueKind::Date},
    {"Termin", ValueKind::Decimal},        {"Gotowka", ValueKind::Decimal},
    {"Karta", ValueKind::Decimal},         {"Bon", ValueKind::Decimal},
    {"Czek", ValueKind::Decimal},          {"Brutto", ValueKind::Decimal},
    {"NrPlatnosci", ValueKind::IntegerOrEmpty}, {"SposobPlatnosci", ValueKind::Text},
    {"PrzedplataNr", ValueKind::Integer},  {"Przedplata", ValueKind::Decimal},
};

const KeyRule kGoodsKeys[] = {
    {"Symbol", ValueKind::Text},        {"Indeks", ValueKind::Text},      {"Nazwa", ValueKind::Text},
    {"Jm", ValueKind::NonEmpty},        {"Ilosc", ValueKind::Decimal},    {"CenaBrutto", ValueKind::Decimal},
    {"CenaNetto", ValueKind::Decimal},  {"Vat", ValueKind::Vat},
};

const KeyRule kCustomerKeys[] = {
    {"SymbolKontrahenta", ValueKind::Text},
    {"NazwaKontrahenta", ValueKind::Text},
    {"AdresKontrahenta", ValueKind::Text},
    {"Email", ValueKind::Email},
};

const char* const kRegisters[] = {"ZamowieniaSpr", "Paragony", "FakturySpr", "RW", "WZ", "Firmy"};

template <size_t N>
const KeyRule* findRule(const KeyRule (&rules)[N], const std::string& key) {
  for (const KeyRule& rule : rules) {
    if (key == rule.key) return &rule;
  }
  return nullptr;
}

bool isDigits(const std::string& text, size_t from, size_t to) {
  if (from >= to) return false;
  for (size_t i = from; i < to; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

bool isInteger(const std::string& text) {
  size_t start = !text.empty() && text[0] == '-' ? 1 : 0;
  return isDigits(text, start, text.size());
}

bool isDecimal(const std::string& text) {
  size_t point = text.find('.');
  if (point == std::string::npos) return isInteger(text);
  return isInteger(text.substr(0, point)) && isDigits(text, point + 1, text.size());
}

bool isDate(const std::string& text) {
  if (text.size() != 8 || text[2] != '.' || text[5] != '.') return false;
  if (!isDigits(text, 0, 2) || !isDigits(text, 3, 5) || !isDigits(text, 6, 8)) return false;
  int month = std::atoi(text.substr(3, 2).c_str());
  int day = std::atoi(text.substr(6, 2).c_str());
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool isRegister(const std::string& text) {
  for (const char* name : kRegisters) {
    if (text == name) return true;
  }
  return false;
}

// Empty when the value fits its kind, else what is wrong with it.
std::string valueFault(ValueKind kind, const std::string& value) {
  switch (kind) {
    case ValueKind::Text:
      return std::string();
    case ValueKind::NonEmpty:
      return value.empty() ? "pusta wartość" : std::string();
    case ValueKind::Decimal:
      return isDecimal(value) ? std::string() : "wartość nie jest liczbą";
    case ValueKind::Integer:
      return isInteger(value) ? std::string() : "wartość nie jest liczbą całkowitą";
    case ValueKind::IntegerOrEmpty:
      return value.empty() || isInteger(value) ? std::string() : "wartość nie jest liczbą całkowitą";
    case ValueKind::Date:
      return isDate(value) ? std::string() : "data nie ma postaci RR.MM.DD";
    case ValueKind::One:
      return value == "1" ? std::string() : "dozwolona jest tylko wartość 1";
    case ValueKind::Vat: {
      size_t blank = value.find(' ');
      bool ok = blank != std::string::npos && isInteger(value.substr(0, blank)) && value.substr(blank) == " %";
      return ok ? std::string() : "stawka VAT nie ma postaci \"N %\"";
    }
    case ValueKind::Email:
      return !value.empty() && value[0] == ':' ? std::string() : "adres e-mail nie zaczyna się od dwukropka";
    case ValueKind::Register:
      return isRegister(value) ? std::string() : "nieznany rejestr";
    case ValueKind::Coding:
      return value == "Windows 1250" ? std::string() : "nieobsługiwane kodowanie";
  }
  return std::string();
}

class Reader {
 public:
  Reader(std::istream& in, const ImportDocumentSink& sink) : in_(in), sink_(sink) {}

  ImportFileCheck read() {
    std::string line;
    while (!stopped() && std::getline(in_, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lineNumber_ += 1;
      readLine(line);
    }
    if (!stopped()) finish();
    result_.ok = !stopped();
    return result_;
  }

 private:
  bool stopped() const { return result_.errorLine != 0 || refused_; }

  void fail(const std::string& what) {
    if (result_.errorLine == 0) {
      result_.errorLine = lineNumber_ > 0 ? lineNumber_ : 1;
      result_.error = what;
    }
  }

  // Hands the finished document over; a customer record needs its [Poz1].
  void closeDocument() {
    if (!hasDocument_) return;
    if (current_.isCustomerRecord() && current_.positions.empty()) return fail("karta kontrahenta bez sekcji [Poz1]");
    if (!sink_(current_)) refused_ = true;
    hasDocument_ = false;
  }

  void readLine(const std::string& line) {
    if (lineNumber_ == 1 && line != "[Info]") return fail("plik nie zaczyna się sekcją [Info]");
    if (line.empty()) {
      blankBefore_ = true;
      return;
    }
    if (line.find('\r') != std::string::npos) return fail("znak powrotu karetki wewnątrz wiersza");
    if (line[0] == '[') {
      readHeader(line);
    } else {
      if (blankBefore_) return fail("pusty wiersz wewnątrz sekcji");
      readEntry(line);
    }
    blankBefore_ = false;
  }

  void readHeader(const std::string& line) {
    if (line.back() != ']') return fail("niepoprawny nagłówek sekcji");
    std::string name = line.substr(1, line.size() - 2);
    if (name == "Info") {
      if (lineNumber_ != 1) return fail("sekcja [Info] może stać tylko na początku pliku");
      section_ = Section::Info;
      return;
    }
    if (!blankBefore_) return fail("brak pustego wiersza przed nagłówkiem sekcji");
    if (name == "Dokument") return openDocument();
    if (name == "ZawartoscDokumentu") return openContents();
    if (name.compare(0, 3, "Poz") == 0) return openPosition(name.substr(3));
    fail("nieznana sekcja [" + name + "]");
  }

  // The previous section must have closed what it opened.
  bool previousComplete() {
    if (section_ == Section::Info) {
      if (keys_.count("Program") == 0 || keys_.count("Kodowanie") == 0) {
        fail("sekcja [Info] bez klucza Program lub Kodowanie");
        return false;
      }
      return true;
    }
    if (section_ == Section::Document) {
      fail("dokument bez sekcji [ZawartoscDokumentu]");
      return false;
    }
    if (section_ == Section::Contents || section_ == Section::Position) return positionComplete();
    return true;
  }

  bool positionComplete() {
    if (section_ != Section::Position || current().isCustomerRecord()) return true;
    if (keys_.count("Ilosc") == 0 || keys_.count("CenaBrutto") == 0) {
      fail("pozycja bez ilości lub ceny");
      return false;
    }
    return true;
  }

  void openDocument() {
    if (!previousComplete()) return;
    closeDocument();
    if (stopped()) return;
    current_ = ImportDocument{lineNumber_, std::string(), {}, {}};
    hasDocument_ = true;
    section_ = Section::Document;
    keys_.clear();
  }

  void openContents() {
    if (section_ != Section::Document) return fail("sekcja [ZawartoscDokumentu] poza dokumentem");
    if (current().registerName.empty()) return fail("dokument bez klucza Rejestr");
    if (!current().isCustomerRecord() && keys_.count("TypDok") == 0) return fail("dokument bez klucza TypDok");
    section_ = Section::Contents;
    keys_.clear();
  }

  void openPosition(const std::string& digits) {
    if (section_ != Section::Contents && section_ != Section::Position) {
      return fail("pozycja poza zawartością dokumentu");
    }
    if (!positionComplete()) return;
    if (!isDigits(digits, 0, digits.size()) || digits[0] == '0' || digits.size() > 6) {
      return fail("niepoprawny numer pozycji");
    }
    int number = std::atoi(digits.c_str());
    ImportDocument& document = current();
    if (!document.positions.empty() && number <= document.positions.back().number) {
      return fail("numery pozycji nie rosną");
    }
    if (document.isCustomerRecord() && (number != 1 || !document.positions.empty())) {
      return fail("karta kontrahenta ma jedną pozycję [Poz1]");
    }
    document.positions.push_back(ImportPosition{number, {}});
    section_ = Section::Position;
    keys_.clear();
  }

  const KeyRule* ruleFor(const std::string& key) {
    switch (section_) {
      case Section::Info:
        return findRule(kInfoKeys, key);
      case Section::Document:
        if (current().isCustomerRecord()) return key == "Rejestr" ? &kDocumentKeys[0] : nullptr;
        return findRule(kDocumentKeys, key);
      case Section::Position:
        return current().isCustomerRecord() ? findRule(kCustomerKeys, key) : findRule(kGoodsKeys, key);
      default:
        return nullptr;
    }
  }

  void readEntry(const std::string& line) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) return fail("wiersz nie ma postaci klucz=wartość");
    std::string key = line.substr(0, equals);
    std::string value = line.substr(equals + 1);
    if (section_ == Section::Contents) return fail("sekcja [ZawartoscDokumentu] nie ma kluczy");
    const KeyRule* rule = ruleFor(key);
    if (rule == nullptr) return fail("nieznany klucz " + key);
    if (!keys_.insert(key).second) return fail("powtórzony klucz " + key);
    std::string fault = valueFault(rule->kind, value);
    if (!fault.empty()) return fail(fault + " (" + key + ")");
    if (section_ == Section::Info) return;
    if (section_ == Section::Document) {
      ImportDocument& document = current();
      if (document.entries.empty() && key != "Rejestr") return fail("pierwszym kluczem dokumentu musi być Rejestr");
      if (key == "Rejestr") document.registerName = value;
      document.entries.push_back(ImportEntry{key, value});
      return;
    }
    current().positions.back().entries.push_back(ImportEntry{key, value});
  }

  void finish() {
    if (section_ == Section::None) return fail("pusty plik");
    if (!previousComplete()) return;
    closeDocument();
  }

  ImportDocument& current() { return current_; }

  std::istream& in_;
  const ImportDocumentSink& sink_;
  ImportFileCheck result_;
  ImportDocument current_;
  bool hasDocument_ = false;
  bool refused_ = false;
  int lineNumber_ = 0;
  bool blankBefore_ = false;
  Section section_ = Section::None;
  std::set<std::string> keys_;
};

const std::string* findEntry(const std::vector<ImportEntry>& entries, const std::string& key) {
  for (const ImportEntry& entry : entries) {
    if (entry.key == key) return &entry.value;
  }
  return nullptr;
}

}  // namespace

const std::string* ImportPosition::find(const std::string& key) const { return findEntry(entries, key); }
const std::string* ImportDocument::find(const std::string& key) const { return findEntry(entries, key); }

ImportFileCheck readImportFile(std::istream& in, const ImportDocumentSink& sink) { return Reader(in, sink).read(); }

}  // namespace standin
