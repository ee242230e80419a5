// Decoding of a getInvoices reply (see invoice_number.h).
#include "service/invoice_number.h"

#include <cstdint>

#include "hostlink/host_services.h"
#include "json/json.h"

namespace {

bool looksLikeJson(const char* text) { return text != nullptr && (text[0] == '{' || text[0] == '['); }

// The first non-empty "number" string of an invoice object, or null.
const char* firstInvoiceNumber(const JsonValue* root) {
  JsonArray* invoices = jsonObjectArray(jsonValueObject(root), "invoices");
  uint32_t count = jsonArrayCount(invoices);
  for (uint32_t i = 0; i < count; ++i) {
    const char* number = jsonObjectString(jsonArrayObjectAt(invoices, i), "number");
    if (number != nullptr && number[0] != '\0') return number;
  }
  return nullptr;
}

}  // namespace

bool takeInvoiceNumber(const char* reply, char* number, size_t capacity) {
  if (number != nullptr && capacity > 0) number[0] = '\0';
  if (!looksLikeJson(reply)) return false;
  JsonValue* root = jsonParse(reply);
  if (root == nullptr) return false;
  bool readable = jsonObjectArray(jsonValueObject(root), "invoices") != nullptr;
  const char* found = firstInvoiceNumber(root);
  if (found != nullptr && number != nullptr && capacity > 0) {
    size_t bound = capacity - 1;
    hostBoundedCopy(number, found, bound > INT32_MAX ? INT32_MAX : static_cast<int32_t>(bound));
  }
  jsonFree(root);
  return readable;
}
