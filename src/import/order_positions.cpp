// The positions of an order's document: one per product object, numbered
// by the product's place in the order, then the shipping position with its
// shipment symbol.
#include <cstdio>
#include <cstring>

#include "hostlink/host_services.h"
#include "import/import_file.h"
#include "import/options_holder.h"
#include "import/order_document.h"
#include "import/order_translation.h"
#include "json/json.h"

char* shipmentSymbol(char* symbol, size_t capacity, double amount) {
  if (symbol == nullptr || capacity == 0) return symbol;
  OptionsHolder options;
  const ImportSettings& settings = options.load();
  // The stored symbol is a 17-byte field: never read past it.
  char stored[sizeof settings.SymbolPrzesylki];
  std::memcpy(stored, settings.SymbolPrzesylki, sizeof stored);
  stored[sizeof stored - 1] = '\0';
  const char* start = stored[0] != '\0' ? stored : "przesylka";
  hostBoundedCopy(symbol, start, static_cast<int32_t>(capacity - 1));
  if (settings.NieDoklejajKwotyDoSymbPrzes == 0) {
    size_t used = std::strlen(symbol);
    std::snprintf(symbol + used, capacity - used, "%.2f", amount);
  }
  return symbol;
}

namespace {

void writePositionLines(ImportFile* file, const char* symbol, const char* name) {
  _fprintfUTF(file, "Symbol=%s\n", symbol);
  _fprintfUTF(file, "Indeks=%s\n", symbol);
  _fprintfUTF(file, "Nazwa=%s\n", name);
  _fprintfUTF(file, "Jm=%s\n", "SZT");
}

}  // namespace

void writeProductPositions(PageContext& page, const OrderValues& order) {
  ImportFile* file = page.file;
  uint32_t count = jsonArrayCount(order.products);
  ProductValues product;
  for (uint32_t j = 0; j < count; ++j) {
    const JsonObject* element = jsonArrayObjectAt(order.products, j);
    if (element == nullptr) continue;
    readProductValues(element, order.rate, product);
    writeImportText(file, "\n[Poz%d]\n", static_cast<int>(j + 1));
    const LineText& symbol = page.symbolSource == 1 ? product.sku : product.ean;
    writePositionLines(file, symbol.c_str(), product.name.c_str());
    writeImportText(file, "Ilosc=%.2f\n", product.quantity);
    writeImportText(file, "CenaBrutto=%.2f\n", product.grossPrice);
    writeImportText(file, "Vat=%.0f %%\n", product.taxRate);
  }
}

void writeShippingPosition(PageContext& page, const OrderValues& order) {
  if (order.deliveryMethod.empty() || !(order.shippingPrice > 0.01)) return;
  ImportFile* file = page.file;
  writeImportText(file, "\n[Poz%d]\n", static_cast<int>(jsonArrayCount(order.products) + 1));
  char symbol[kShipmentSymbolSize];
  shipmentSymbol(symbol, sizeof symbol, order.shippingPrice);
  writePositionLines(file, symbol, order.deliveryMethod.c_str());
  writeImportText(file, "Ilosc=1\n");
  writeImportText(file, "CenaBrutto=%.2f\n", order.shippingPrice);
  writeImportText(file, "CenaNetto=%.2f\n", order.shippingPrice - order.shippingPrice * 23 / 123);
  writeImportText(file, "Vat=23 %%\n");
}
