// The keys of an order's document after its head: document type, receipt
// and invoice numbers with the tax id, the customer block, currency,
// country and the two dates.
#include <cstring>

#include "hostlink/host_services.h"
#include "import/import_file.h"
#include "import/order_document.h"
#include "import/order_translation.h"
#include "service/api_session.h"
#include "service/service_requests.h"

namespace {

// Writes the tax id and looks up the number of the order's invoice. A
// lookup that failed is noted; after a request that got no answer none is
// made, and the order is noted as well.
void writeTaxIdAndFindInvoice(PageContext& page, const OrderValues& order, char* invoiceNumber, size_t capacity) {
  _fprintfUTF(page.file, "Nip=%s\n", order.taxId);
  SeenOrders* seen = page.seen;
  InvoiceLookup lookup = InvoiceLookup::unanswered;
  if (seen == nullptr || !seen->serviceSilent) {
    ApiSession session;
    openApiSession(session);
    requestInvoiceNumber(session, invoiceNumber, capacity, order.orderId, &lookup);
    blankControlBytes(invoiceNumber);
  }
  if (seen == nullptr || lookup == InvoiceLookup::answered) return;
  seen->invoicesNotFetched.push_back(order.orderNumber);
  if (lookup == InvoiceLookup::unanswered) seen->serviceSilent = true;
}

void writeCustomerBlock(const PageContext& page, OrderValues& order) {
  ImportFile* file = page.file;
  if (page.kind == kAnonymousReceiptOrInvoice && !taxIdPresent(order.taxId)) {
    _fprintfUTF(file, "PominDaneKontrahenta=1\n");
    return;
  }
  _fprintfUTF(file, "SymbolKontrahenta=%s\n", order.customerSymbol);
  _fprintfUTF(file, "NazwaKontrahenta=%s %s\n", order.invoiceFullname.c_str(), order.invoiceCompany.c_str());
  _fprintfUTF(file, "AdresKontrahenta=%s %s %s\n", order.invoiceAddress.c_str(), order.invoicePostcode.c_str(),
              order.invoiceCity.c_str());
  _fprintfUTF(file, "SymbolOdbiorcy=%s\n", order.phone.c_str());
  _fprintfUTF(file, "NazwaOdbiorcy=%s %s\n", order.deliveryFullname.c_str(), order.deliveryCompany.c_str());
  _fprintfUTF(file, "AdresOdbiorcy=%s %s %s\n", order.deliveryAddress.c_str(), order.deliveryPostcode.c_str(),
              order.deliveryCity.c_str());
}

void writeCurrency(ImportFile* file, const OrderValues& order) {
  if (!order.currency.empty()) _fprintfUTF(file, "WalutaNazwa=%s\n", order.currency.c_str());
  if (rateApplies(order.rate)) _fprintfUTF(file, "WalutaKurs=%.4f\n", order.rate);
}

bool foreignCountry(const LineText& code) { return !code.empty() && std::strcmp(code.c_str(), "PL") != 0; }

void writeCountry(ImportFile* file, const OrderValues& order) {
  if (foreignCountry(order.invoiceCountryCode)) {
    _fprintfUTF(file, "Kraj=%s\n", order.invoiceCountryCode.c_str());
  } else if (foreignCountry(order.deliveryCountryCode)) {
    _fprintfUTF(file, "Kraj=%s\n", order.deliveryCountryCode.c_str());
  }
}

// Receipts, invoices and external issues carry the host's current date;
// customer orders and internal issues the day the order was placed.
void writeDates(const PageContext& page, const OrderValues& order) {
  ImportFile* file = page.file;
  if (page.kind == kReceiptOrInvoice || page.kind == kAnonymousReceiptOrInvoice || page.kind == kExternalIssue) {
    writeImportText(file, "DataSprzed=%s\n", page.currentDate);
    writeImportText(file, "DataWyst=%s\n", page.currentDate);
    return;
  }
  CalendarDate added = calendarDate(order.dateAdd);
  int year = added.year % 100;
  if (year < 0) year += 100;
  writeImportText(file, "DataSprzed=%02d.%02d.%02d\n", year, added.month, added.day);
  writeImportText(file, "DataWyst=%02d.%02d.%02d\n", year, added.month, added.day);
}

}  // namespace

void writeDocumentKeys(PageContext& page, OrderValues& order) {
  ImportFile* file = page.file;
  writeImportText(file, "TypDok=2\n");
  if (page.kind == kReceiptOrInvoice && !taxIdPresent(order.taxId))
    writeImportText(file, "NrPar=%.0f\n", order.orderId);

  char invoiceNumber[40] = "";
  if (taxIdPresent(order.taxId)) writeTaxIdAndFindInvoice(page, order, invoiceNumber, sizeof invoiceNumber);
  if (page.kind != kAnonymousReceiptOrInvoice) {
    if (invoiceNumber[0] != '\0') {
      writeImportText(file, "NrDok=%sf\n", invoiceNumber);
    } else {
      writeImportText(file, "NrDok=%.0f\n", order.orderId);
    }
  }
  writeCustomerBlock(page, order);
  writeCurrency(file, order);
  writeCountry(file, order);
  writeDates(page, order);
}
