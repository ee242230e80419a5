// The head of an order's document by document kind: the register (with the
// customer record before an invoice) and the remarks.
#include <cstdio>

#include "hostlink/host_services.h"
#include "import/import_file.h"
#include "import/options_holder.h"
#include "import/order_document.h"
#include "import/order_translation.h"

namespace {

void writeRegister(ImportFile* file, const char* registerLine) {
  writeImportText(file, "\n[Dokument]\n");
  writeImportText(file, registerLine);
}

void writeCustomerRecord(ImportFile* file, const OrderValues& order) {
  writeRegister(file, "Rejestr=Firmy\n");
  writeImportText(file, "\n[ZawartoscDokumentu]\n");
  writeImportText(file, "\n[Poz1]\n");
  _fprintfUTF(file, "SymbolKontrahenta=%s\n", order.customerSymbol);
  _fprintfUTF(file, "NazwaKontrahenta=%s %s\n", order.invoiceFullname.c_str(), order.invoiceCompany.c_str());
  _fprintfUTF(file, "AdresKontrahenta=%s %s %s\n", order.invoiceAddress.c_str(), order.invoicePostcode.c_str(),
              order.invoiceCity.c_str());
  _fprintfUTF(file, "Email=:%s\n", order.email.c_str());
}

void writeNumberedRemarks(ImportFile* file, const OrderValues& order) {
  _fprintfUTF(file, "Uwagi=Zam:%.0f;Email:%s\n", order.orderId, order.email.c_str());
}

// Receipts and invoices (kinds 1 and 3): the customer mode and the tax id
// decide between a receipt and a customer record with an invoice.
void writeReceiptOrInvoiceHead(ImportFile* file, OrderValues& order) {
  OptionsHolder options;
  if (customerModeCode(options.object()) == 2) {
    writeRegister(file, "Rejestr=Paragony\n");
  } else if (order.wantInvoice.c_str()[0] == '1' && taxIdPresent(order.taxId)) {
    writeCustomerRecord(file, order);
    writeRegister(file, "Rejestr=FakturySpr\n");
  } else {
    writeRegister(file, "Rejestr=Paragony\n");
  }
  if (options.load().CoWpisacDoUwag == 0) {
    writeNumberedRemarks(file, order);
  } else {
    _fprintfUTF(file, "Uwagi=%s\n", order.email.c_str());
  }
}

}  // namespace

void writeDocumentHeader(PageContext& page, OrderValues& order) {
  switch (page.kind) {
    case kReceiptOrInvoice:
    case kAnonymousReceiptOrInvoice:
      writeReceiptOrInvoiceHead(page.file, order);
      break;
    case kInternalIssue:
      writeRegister(page.file, "Rejestr=RW\n");
      writeNumberedRemarks(page.file, order);
      break;
    case kExternalIssue:
      writeRegister(page.file, "Rejestr=WZ\n");
      writeNumberedRemarks(page.file, order);
      break;
    default:
      writeRegister(page.file, "Rejestr=ZamowieniaSpr\n");
      _fprintfUTF(page.file, "Uwagi=%s\n", order.email.c_str());
      break;
  }
}
