// What the document store shows and derives, whatever keeps the documents:
// the order number a document carries, its total, and the readable listing.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "import/document_store.h"
#include "control/import_control.h"

namespace standin {

namespace {

bool onlyDigits(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Width of a UTF-8 text in characters.
size_t displayWidth(const std::string& text) {
  size_t width = 0;
  for (unsigned char c : text) width += (c & 0xC0) != 0x80;
  return width;
}

std::string padded(const std::string& text, size_t width, bool right = false) {
  size_t used = displayWidth(text);
  std::string fill(used < width ? width - used : 0, ' ');
  return right ? fill + text : text + fill;
}

}  // namespace

double documentTotal(const ImportDocument& document) {
  double total = 0.0;
  for (const ImportPosition& position : document.positions) {
    const std::string* quantity = position.find("Ilosc");
    const std::string* price = position.find("CenaBrutto");
    if (quantity != nullptr && price != nullptr)
      total += std::strtod(quantity->c_str(), nullptr) * std::strtod(price->c_str(), nullptr);
  }
  return total;
}

std::string documentOrderNumber(const ImportDocument& document) {
  const std::string* number = document.find("NrDok");
  if (number != nullptr && onlyDigits(*number)) return *number;
  const std::string* receipt = document.find("NrPar");
  if (receipt != nullptr && onlyDigits(*receipt)) return *receipt;
  const std::string* remarks = document.find("Uwagi");
  if (remarks != nullptr) {
    size_t at = remarks->find("Zam:");
    if (at != std::string::npos) {
      size_t from = at + 4, to = from;
      while (to < remarks->size() && (*remarks)[to] >= '0' && (*remarks)[to] <= '9') ++to;
      return remarks->substr(from, to - from);
    }
  }
  return std::string();
}

namespace {

// The document's total in the host's own currency: converted with the rate
// the import file gave it; "-" for a foreign currency that came without one.
std::string homeCurrencyTotal(const StoredDocument& document) {
  char text[64];
  if (document.currency.empty() || document.currency == "PLN") {
    std::snprintf(text, sizeof text, "%.2f", document.total);
    return text;
  }
  auto rate = document.fields.find("WalutaKurs");
  if (rate == document.fields.end()) return "-";
  std::snprintf(text, sizeof text, "%.2f", document.total * std::strtod(rate->second.c_str(), nullptr));
  return text;
}

}  // namespace

std::string documentListing() {
  std::vector<StoredDocument> documents = storedDocuments();
  if (documents.empty()) return "Brak dokumentów.\n";
  constexpr size_t kColumns = 7;
  const char* headings[kColumns] = {"Rejestr", "Numer", "Kontrahent", "Razem", "Waluta", "W PLN", "Pozycje"};
  std::vector<std::vector<std::string>> rows;
  for (const StoredDocument& document : documents) {
    char total[64];
    std::snprintf(total, sizeof total, "%.2f", document.total);
    std::string customer = document.customer;
    if (customer.empty() && document.fields.count("PominDaneKontrahenta")) customer = "(bez danych)";
    rows.push_back({document.registerName, document.number.empty() ? "-" : document.number,
                    customer.empty() ? "-" : customer, total, document.currency.empty() ? "-" : document.currency,
                    homeCurrencyTotal(document), std::to_string(document.positions.size())});
  }
  size_t widths[kColumns];
  for (size_t c = 0; c < kColumns; ++c) {
    widths[c] = displayWidth(headings[c]);
    for (const auto& row : rows) widths[c] = std::max(widths[c], displayWidth(row[c]));
  }
  auto line = [&](const std::vector<std::string>& cells) {
    std::string text;
    for (size_t c = 0; c < kColumns; ++c) {
      bool right = c == 3 || c == 5 || c == 6;
      text += padded(cells[c], widths[c], right);
      text += c + 1 < kColumns ? "  " : "\n";
    }
    return text;
  };
  std::string listing = line(std::vector<std::string>(headings, headings + kColumns));
  for (const auto& row : rows) listing += line(row);
  listing += std::to_string(documents.size()) + " dokumentów\n";
  return listing;
}

std::string documentTable() {
  auto field = [](std::string text) {
    for (char& c : text) c = c == '\t' || c == '\r' || c == '\n' ? ' ' : c;
    return text;
  };
  std::string table;
  for (const StoredDocument& document : storedDocuments()) {
    char total[64];
    std::snprintf(total, sizeof total, "%.2f", document.total);
    table += std::to_string(document.id) + "\t" + field(document.registerName) + "\t" + field(document.number) + "\t" +
             field(document.orderNumber) + "\t" + field(document.customer) + "\t" + field(document.currency) + "\t" +
             total + "\t" + std::to_string(document.positions.size()) + "\n";
  }
  return table;
}

}  // namespace standin
