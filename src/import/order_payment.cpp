// The payment keys of an order's document: cash on delivery with the gross
// total, or the prepayment (the amount paid, or the total when nothing was).
#include "hostlink/host_services.h"
#include "import/import_file.h"
#include "import/order_document.h"
#include "json/json.h"

namespace {

// Products and shipping in the currency the positions carry: both are
// multiplied by the rate when one applies.
double orderTotal(const OrderValues& order) {
  double total = 0.0;
  uint32_t count = jsonArrayCount(order.products);
  for (uint32_t j = 0; j < count; ++j) {
    const JsonObject* product = jsonArrayObjectAt(order.products, j);
    if (product == nullptr) continue;
    double price = jsonObjectNumber(product, "price_brutto");
    if (rateApplies(order.rate)) price *= order.rate;
    total += jsonObjectNumber(product, "quantity") * price;
  }
  return total + order.shippingPrice;
}

}  // namespace

void writePaymentBlock(PageContext& page, const OrderValues& order) {
  ImportFile* file = page.file;
  double total = orderTotal(order);
  if (order.cashOnDelivery != 0) {
    writeImportText(file, "Termin=14\nGotowka=0.00\nKarta=0.00\nBon=0.00\nCzek=0.00\n");
    writeImportText(file, "Brutto=%.2f\n", total);
    writeImportText(file, "NrPlatnosci=2560\nSposobPlatnosci=pobranie\n");
    return;
  }
  writeImportText(file, "NrPlatnosci=\nSposobPlatnosci=\n");
  // The amount paid is written as the service gives it.
  writeImportText(file, "PrzedplataNr=3\nPrzedplata=%.2f\n", order.paymentDone > 0.01 ? order.paymentDone : total);
  writeImportText(file, "Termin=0.00\nGotowka=0.00\nKarta=0.00\nBon=0.00\nCzek=0.00\n");
}
