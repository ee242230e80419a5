// Strict reading of a universal-import file. Lines end in LF (or CR LF); an
// empty line may stand only before a section header or at the end; "[Info]"
// opens the file; every document is "[Dokument]", "[ZawartoscDokumentu]"
// and its "[PozN]" sections with rising numbers.
#include "import/import_file_reader.h"

#include <cstdint>
#include <cstring>

namespace standin {

namespace {

enum class Section { None, Info, Document, Contents, Position };

enum class ValueKind { Text, NonEmpty, Decimal, Integer, IntegerOrEmpty, Date, One, Vat, Email, Register, Coding };

struct KeyRule {
  std::string_view key;
  ValueKind kind;
};

const KeyRule kInfoKeys[] = {{"Program", ValueKind::NonEmpty}, {"Kodowanie", ValueKind::Coding}};

const KeyRule kDocumentKeys[] = {
    {"Rejestr", ValueKind::Register},
    {"Uwagi", ValueKind::Text},
    {"TypDok", ValueKind::Integer},
    {"NrPar", ValueKind::Integer},
    {"Nip", ValueKind::Text},
    {"NrDok", ValueKind::NonEmpty},
    {"PominDaneKontrahenta", ValueKind::One},
    {"SymbolKontrahenta", ValueKind::Text},
    {"NazwaKontrahenta", ValueKind::Text},
    {"AdresKontrahenta", ValueKind::Text},
    {"SymbolOdbiorcy", ValueKind::Text},
    {"NazwaOdbiorcy", ValueKind::Text},
    {"AdresOdbiorcy", ValueKind::Text},
    {"WalutaNazwa", ValueKind::NonEmpty},
    {"WalutaKurs", ValueKind::Decimal},
    {"Kraj", ValueKind::NonEmpty},
    {"DataSprzed", ValueKind::Date},
    {"DataWyst", ValueKind::Date},
    {"Termin", ValueKind::Decimal},
    {"Gotowka", ValueKind::Decimal},
    {"Karta", ValueKind::Decimal},
    {"Bon", ValueKind::Decimal},
    {"Czek", ValueKind::Decimal},
    {"Brutto", ValueKind::Decimal},
    {"NrPlatnosci", ValueKind::IntegerOrEmpty},
    {"SposobPlatnosci", ValueKind::Text},
    {"PrzedplataNr", ValueKind::Integer},
    {"Przedplata", ValueKind::Decimal},
};

const KeyRule kGoodsKeys[] = {
    {"Symbol", ValueKind::Text},       {"Indeks", ValueKind::Text},   {"Nazwa", ValueKind::Text},
    {"Jm", ValueKind::NonEmpty},       {"Ilosc", ValueKind::Decimal}, {"CenaBrutto", ValueKind::Decimal},
    {"CenaNetto", ValueKind::Decimal}, {"Vat", ValueKind::Vat},
};

const KeyRule kCustomerKeys[] = {
    {"SymbolKontrahenta", ValueKind::Text},
    {"NazwaKontrahenta", ValueKind::Text},
    {"AdresKontrahenta", ValueKind::Text},
    {"Email", ValueKind::Email},
};

// The keys of one section, by their place in its rule list.
struct KeyRules {
  const KeyRule* rules;
  size_t count;
};

template <size_t N>
constexpr KeyRules rulesOf(const KeyRule (&rules)[N]) {
  static_assert(N <= 32, "a section's keys are marked in 32 bits");
  return KeyRules{rules, N};
}

const KeyRules kNoRules{nullptr, 0};
// A customer record's "[Dokument]" holds only "Rejestr".
const KeyRules kCustomerDocumentRules{kDocumentKeys, 1};

// The place of key among the rules, or -1. The search starts at from (where
// a file written in the rules' order has its next key) and wraps around.
int findRule(KeyRules rules, std::string_view key, size_t from = 0) {
  size_t i = from < rules.count ? from : 0;
  for (size_t looked = 0; looked < rules.count; ++looked) {
    if (rules.rules[i].key == key) return static_cast<int>(i);
    i = i + 1 < rules.count ? i + 1 : 0;
  }
  return -1;
}

const char* const kRegisters[] = {"ZamowieniaSpr", "Paragony", "FakturySpr", "RW", "WZ", "Firmy"};

bool isDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// The value of a text of digits.
int digitsValue(std::string_view digits) {
  int value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

bool isInteger(std::string_view text) { return isDigits(!text.empty() && text[0] == '-' ? text.substr(1) : text); }

bool isDecimal(std::string_view text) {
  size_t point = text.find('.');
  if (point == std::string_view::npos) return isInteger(text);
  return isInteger(text.substr(0, point)) && isDigits(text.substr(point + 1));
}

bool isDate(std::string_view text) {
  if (text.size() != 8 || text[2] != '.' || text[5] != '.') return false;
  if (!isDigits(text.substr(0, 2)) || !isDigits(text.substr(3, 2)) || !isDigits(text.substr(6, 2))) return false;
  int month = digitsValue(text.substr(3, 2));
  int day = digitsValue(text.substr(6, 2));
  return month >= 1 && month <= 12 && day >= 1 && day <= 31;
}

bool isRegister(std::string_view text) {
  for (const char* name : kRegisters) {
    if (text == name) return true;
  }
  return false;
}

// Null when the value fits its kind, else what is wrong with it.
const char* valueFault(ValueKind kind, std::string_view value) {
  switch (kind) {
    case ValueKind::Text:
      return nullptr;
    case ValueKind::NonEmpty:
      return value.empty() ? "pusta wartość" : nullptr;
    case ValueKind::Decimal:
      return isDecimal(value) ? nullptr : "wartość nie jest liczbą";
    case ValueKind::Integer:
      return isInteger(value) ? nullptr : "wartość nie jest liczbą całkowitą";
    case ValueKind::IntegerOrEmpty:
      return value.empty() || isInteger(value) ? nullptr : "wartość nie jest liczbą całkowitą";
    case ValueKind::Date:
      return isDate(value) ? nullptr : "data nie ma postaci RR.MM.DD";
    case ValueKind::One:
      return value == "1" ? nullptr : "dozwolona jest tylko wartość 1";
    case ValueKind::Vat: {
      size_t blank = value.find(' ');
      bool ok = blank != std::string_view::npos && isInteger(value.substr(0, blank)) && value.substr(blank) == " %";
      return ok ? nullptr : "stawka VAT nie ma postaci \"N %\"";
    }
    case ValueKind::Email:
      return !value.empty() && value[0] == ':' ? nullptr : "adres e-mail nie zaczyna się od dwukropka";
    case ValueKind::Register:
      return isRegister(value) ? nullptr : "nieznany rejestr";
    case ValueKind::Coding:
      return value == "Windows 1250" ? nullptr : "nieobsługiwane kodowanie";
  }
  return nullptr;
}

// The lines of a stream without their LF, as std::getline gives them, read
// in blocks: a line stays valid until the next one is asked for.
class LineSource {
 public:
  explicit LineSource(std::istream& in) : in_(in), block_(kBlockSize) {}

  bool next(std::string_view& line) {
    if (carried_) {
      carry_.clear();
      carried_ = false;
    }
    for (;;) {
      const char* start = block_.data() + at_;
      const void* lf = std::memchr(start, '\n', end_ - at_);
      if (lf != nullptr) {
        size_t length = static_cast<size_t>(static_cast<const char*>(lf) - start);
        at_ += length + 1;
        return give(std::string_view(start, length), line);
      }
      carry_.append(start, end_ - at_);
      at_ = end_ = 0;
      if (!refill()) {
        // The last line may end without LF; nothing after the last LF is no line.
        if (carry_.empty()) return false;
        line = carry_;
        carried_ = true;
        return true;
      }
    }
  }

 private:
  static constexpr size_t kBlockSize = 64 * 1024;

  bool refill() {
    in_.read(block_.data(), static_cast<std::streamsize>(block_.size()));
    end_ = static_cast<size_t>(in_.gcount());
    return end_ > 0;
  }

  // A line that began in an earlier block is joined to its start.
  bool give(std::string_view rest, std::string_view& line) {
    if (carry_.empty()) {
      line = rest;
    } else {
      carry_.append(rest);
      line = carry_;
      carried_ = true;
    }
    return true;
  }

  std::istream& in_;
  std::vector<char> block_;
  size_t at_ = 0, end_ = 0;  // the unread part of the block
  std::string carry_;        // the start of a line cut by the block's end
  bool carried_ = false;     // carry_ was given out as a whole line
};

class Reader {
 public:
  Reader(std::istream& in, const ImportDocumentSink& sink) : lines_(in), sink_(sink) {}

  ImportFileCheck read() {
    std::string_view text;
    while (!stopped() && lines_.next(text)) {
      if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
      lineNumber_ += 1;
      readLine(text);
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
    if (customer_ && current_.positions.empty()) return fail("karta kontrahenta bez sekcji [Poz1]");
    if (!sink_(current_)) refused_ = true;
    hasDocument_ = false;
  }

  void readLine(std::string_view line) {
    if (lineNumber_ == 1 && line != "[Info]") return fail("plik nie zaczyna się sekcją [Info]");
    if (line.empty()) {
      blankBefore_ = true;
      return;
    }
    if (line.find('\r') != std::string_view::npos) return fail("znak powrotu karetki wewnątrz wiersza");
    if (line[0] == '[') {
      readHeader(line);
    } else {
      if (blankBefore_) return fail("pusty wiersz wewnątrz sekcji");
      readEntry(line);
    }
    blankBefore_ = false;
  }

  void readHeader(std::string_view line) {
    if (line.back() != ']') return fail("niepoprawny nagłówek sekcji");
    std::string_view name = line.substr(1, line.size() - 2);
    if (name == "Info") {
      if (lineNumber_ != 1) return fail("sekcja [Info] może stać tylko na początku pliku");
      enterSection(Section::Info);
      return;
    }
    if (!blankBefore_) return fail("brak pustego wiersza przed nagłówkiem sekcji");
    if (name == "Dokument") return openDocument();
    if (name == "ZawartoscDokumentu") return openContents();
    if (name.substr(0, 3) == "Poz") return openPosition(name.substr(3));
    fail("nieznana sekcja [" + std::string(name) + "]");
  }

  // The section's rules and no keys seen yet.
  void enterSection(Section section) {
    section_ = section;
    seen_ = 0;
    nextRule_ = 0;
    switch (section) {
      case Section::Info:
        rules_ = rulesOf(kInfoKeys);
        break;
      case Section::Document:
        rules_ = rulesOf(kDocumentKeys);
        break;
      case Section::Position:
        rules_ = customer_ ? rulesOf(kCustomerKeys) : rulesOf(kGoodsKeys);
        break;
      default:
        rules_ = kNoRules;
    }
  }

  // Whether the current section has given the key.
  bool hasKey(std::string_view key) const {
    int rule = findRule(rules_, key);
    return rule >= 0 && (seen_ & (1u << rule)) != 0;
  }

  // The previous section must have closed what it opened.
  bool previousComplete() {
    if (section_ == Section::Info) {
      if (!hasKey("Program") || !hasKey("Kodowanie")) {
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
    if (section_ != Section::Position || customer_) return true;
    if (!hasKey("Ilosc") || !hasKey("CenaBrutto")) {
      fail("pozycja bez ilości lub ceny");
      return false;
    }
    return true;
  }

  // The document is filled in place, so that its lists keep their room.
  void openDocument() {
    if (!previousComplete()) return;
    closeDocument();
    if (stopped()) return;
    current_.line = lineNumber_;
    current_.registerName.clear();
    current_.entries.clear();
    current_.positions.clear();
    hasDocument_ = true;
    customer_ = false;
    enterSection(Section::Document);
  }

  void openContents() {
    if (section_ != Section::Document) return fail("sekcja [ZawartoscDokumentu] poza dokumentem");
    if (current_.registerName.empty()) return fail("dokument bez klucza Rejestr");
    if (!customer_ && !hasKey("TypDok")) return fail("dokument bez klucza TypDok");
    enterSection(Section::Contents);
  }

  void openPosition(std::string_view digits) {
    if (section_ != Section::Contents && section_ != Section::Position) {
      return fail("pozycja poza zawartością dokumentu");
    }
    if (!positionComplete()) return;
    if (!isDigits(digits) || digits[0] == '0' || digits.size() > 6) return fail("niepoprawny numer pozycji");
    int number = digitsValue(digits);
    ImportDocument& document = current_;
    if (!document.positions.empty() && number <= document.positions.back().number) {
      return fail("numery pozycji nie rosną");
    }
    if (customer_ && (number != 1 || !document.positions.empty())) {
      return fail("karta kontrahenta ma jedną pozycję [Poz1]");
    }
    enterSection(Section::Position);
    document.positions.push_back(ImportPosition{number, {}});
    document.positions.back().entries.reserve(rules_.count);
  }

  // In a customer record's "[Dokument]" only its first key is known.
  KeyRules entryRules() const { return section_ == Section::Document && customer_ ? kCustomerDocumentRules : rules_; }

  void readEntry(std::string_view line) {
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) return fail("wiersz nie ma postaci klucz=wartość");
    std::string_view key = line.substr(0, equals);
    std::string_view value = line.substr(equals + 1);
    if (section_ == Section::Contents) return fail("sekcja [ZawartoscDokumentu] nie ma kluczy");
    KeyRules rules = entryRules();
    int index = findRule(rules, key, nextRule_);
    if (index < 0) return fail("nieznany klucz " + std::string(key));
    nextRule_ = static_cast<size_t>(index) + 1;
    const KeyRule& rule = rules.rules[index];
    if ((seen_ & (1u << index)) != 0) return fail("powtórzony klucz " + std::string(key));
    seen_ |= 1u << index;
    if (const char* fault = valueFault(rule.kind, value)) return fail(fault + (" (" + std::string(key) + ")"));
    if (section_ == Section::Info) return;
    if (section_ == Section::Document) {
      ImportDocument& document = current_;
      if (document.entries.empty() && rule.key != "Rejestr") {
        return fail("pierwszym kluczem dokumentu musi być Rejestr");
      }
      if (rule.key == "Rejestr") {
        document.registerName = value;
        customer_ = document.isCustomerRecord();
      }
      document.entries.push_back(ImportEntry{rule.key, std::string(value)});
      return;
    }
    current_.positions.back().entries.push_back(ImportEntry{rule.key, std::string(value)});
  }

  void finish() {
    if (section_ == Section::None) return fail("pusty plik");
    if (!previousComplete()) return;
    closeDocument();
  }

  LineSource lines_;
  const ImportDocumentSink& sink_;
  ImportFileCheck result_;
  ImportDocument current_{0, std::string(), {}, {}};
  bool hasDocument_ = false;
  bool customer_ = false;  // the current document is a customer record
  bool refused_ = false;
  int lineNumber_ = 0;
  bool blankBefore_ = false;
  Section section_ = Section::None;
  KeyRules rules_ = kNoRules;  // of the current section
  uint32_t seen_ = 0;          // its keys given so far, by place in rules_
  size_t nextRule_ = 0;        // the place after the last key's
};

const std::string* findEntry(const std::vector<ImportEntry>& entries, std::string_view key) {
  for (const ImportEntry& entry : entries) {
    if (entry.key == key) return &entry.value;
  }
  return nullptr;
}

}  // namespace

const std::string* ImportPosition::find(std::string_view key) const { return findEntry(entries, key); }
const std::string* ImportDocument::find(std::string_view key) const { return findEntry(entries, key); }

ImportFileCheck readImportFile(std::istream& in, const ImportDocumentSink& sink) { return Reader(in, sink).read(); }

}  // namespace standin
