// Reading one order and its products from the reply's tree: texts kept on
// one line, numbers truncated safely, and the values derived from them
// (tax id, customer symbol, order number text, calendar date).
#include <cmath>
#include <cstdio>
#include <cstring>

#include "hostlink/host_services.h"
#include "import/order_document.h"
#include "import/order_translation.h"
#include "json/json.h"

namespace {

// A byte the import file must not carry inside a value: a control byte other
// than the tab (line ends among them would end the entry early).
inline bool controlByte(char c) {
  unsigned char byte = static_cast<unsigned char>(c);
  return (byte < 0x20 && byte != '\t') || byte == 0x7F;
}

}  // namespace

void LineText::set(const char* value) {
  copy_.clear();
  text_ = value != nullptr ? value : "";
  const char* c = text_;
  while (*c != '\0' && !controlByte(*c)) ++c;
  if (*c == '\0') return;
  copy_ = text_;
  for (char& byte : copy_) {
    if (controlByte(byte)) byte = ' ';
  }
  text_ = copy_.c_str();
}

size_t LineText::size() const { return std::strlen(text_); }

void blankControlBytes(char* text) {
  for (; *text != '\0'; ++text) {
    if (controlByte(*text)) *text = ' ';
  }
}

int32_t normalisedKind(int32_t documentKind) {
  return documentKind >= kReceiptOrInvoice && documentKind <= kExternalIssue ? documentKind : kCustomerOrder;
}

int32_t truncateToInt32(double value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0) return INT32_MAX;
  if (value <= -2147483648.0) return INT32_MIN;
  return static_cast<int32_t>(value);
}

int taxIdPresent(char* taxId) {
  if (taxId == nullptr || taxId[0] == '\0') return 0;
  for (const char* c = taxId; *c != '\0'; ++c) {
    bool letter = (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z');
    bool digit = *c >= '0' && *c <= '9';
    if (letter || digit) return 1;
  }
  taxId[0] = '\0';
  return 0;
}

namespace {

// "user_login" when it has at least two bytes, else "phone" when it has,
// else "email".
const LineText& customerSymbolSource(const OrderValues& order) {
  if (order.userLogin.size() >= 2) return order.userLogin;
  if (order.phone.size() >= 2) return order.phone;
  return order.email;
}

// A number member: 0 when it is missing (or null); a member that holds
// anything else but a finite number clears sound.
double soundNumber(const JsonObject* object, const char* name, uint32_t length, bool& sound) {
  const JsonValue* value = jsonObjectFind(object, name, length);
  if (value == nullptr || value->type == JSON_NULL) return 0.0;
  if (value->type != JSON_NUMBER || !std::isfinite(value->number)) {
    sound = false;
    return 0.0;
  }
  return value->number;
}

template <size_t N>
double soundNumber(const JsonObject* object, const char (&name)[N], bool& sound) {
  return soundNumber(object, name, N - 1, sound);
}

// A whole number from 1 to the largest order id carried.
bool carriedOrderId(const JsonObject* order, double id) {
  return jsonObjectFind(order, "order_id", 8) != nullptr && id >= 1.0 && id <= kLargestOrderId && id == std::floor(id);
}

}  // namespace

bool productsCarriedFaithfully(const JsonArray* products) {
  bool sound = true;
  uint32_t count = jsonArrayCount(products);
  for (uint32_t j = 0; j < count && sound; ++j) {
    const JsonObject* product = jsonArrayObjectAt(products, j);
    if (product == nullptr) continue;
    soundNumber(product, "quantity", sound);
    soundNumber(product, "price_brutto", sound);
    soundNumber(product, "tax_rate", sound);
  }
  return sound;
}

void readOrderValues(const JsonObject* order, OrderValues& values) {
  bool sound = true;
  values.orderId = soundNumber(order, "order_id", sound);
  values.dateAdd = truncateToInt32(soundNumber(order, "date_add", sound));
  values.cashOnDelivery = truncateToInt32(soundNumber(order, "payment_method_cod", sound));
  values.dateConfirmed = truncateToInt32(soundNumber(order, "date_confirmed", sound));
  values.deliveryPrice = soundNumber(order, "delivery_price", sound);
  values.paymentDone = soundNumber(order, "payment_done", sound);
  values.faithful = sound && carriedOrderId(order, values.orderId);

  struct TextMember {
    const char* name;
    LineText OrderValues::*field;
  };
  static const TextMember kTexts[] = {
      {"email", &OrderValues::email},
      {"phone", &OrderValues::phone},
      {"user_login", &OrderValues::userLogin},
      {"currency", &OrderValues::currency},
      {"want_invoice", &OrderValues::wantInvoice},
      {"delivery_method", &OrderValues::deliveryMethod},
      {"delivery_fullname", &OrderValues::deliveryFullname},
      {"delivery_company", &OrderValues::deliveryCompany},
      {"delivery_address", &OrderValues::deliveryAddress},
      {"delivery_postcode", &OrderValues::deliveryPostcode},
      {"delivery_city", &OrderValues::deliveryCity},
      {"delivery_country_code", &OrderValues::deliveryCountryCode},
      {"invoice_fullname", &OrderValues::invoiceFullname},
      {"invoice_company", &OrderValues::invoiceCompany},
      {"invoice_nip", &OrderValues::invoiceNip},
      {"invoice_address", &OrderValues::invoiceAddress},
      {"invoice_postcode", &OrderValues::invoicePostcode},
      {"invoice_city", &OrderValues::invoiceCity},
      {"invoice_country_code", &OrderValues::invoiceCountryCode},
  };
  for (const TextMember& member : kTexts) (values.*member.field).set(jsonObjectString(order, member.name));
  values.products = jsonObjectArray(order, "products");

  values.rate = 1.0;
  values.shippingPrice = values.deliveryPrice;
  hostBoundedCopy(values.taxId, values.invoiceNip.c_str(), sizeof values.taxId - 1);
  hostBoundedCopy(values.customerSymbol, customerSymbolSource(values).c_str(), sizeof values.customerSymbol - 1);
  std::snprintf(values.orderNumber, sizeof values.orderNumber, "%.0f", values.orderId);
}

void readProductValues(const JsonObject* product, double rate, ProductValues& values) {
  values.sku.set(jsonObjectString(product, "sku"));
  values.ean.set(jsonObjectString(product, "ean"));
  values.name.set(jsonObjectString(product, "name"));
  values.quantity = jsonObjectNumber(product, "quantity");
  values.grossPrice = jsonObjectNumber(product, "price_brutto");
  if (rateApplies(rate)) values.grossPrice *= rate;
  values.taxRate = jsonObjectNumber(product, "tax_rate");
}

CalendarDate calendarDate(int32_t unixTime) {
  // Days since 1970-01-01, rounded toward minus infinity, then the civil
  // calendar from the days (proleptic Gregorian, valid for any int32 time).
  int64_t days = unixTime / 86400;
  if (unixTime % 86400 < 0) days -= 1;
  days += 719468;
  int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  int64_t dayOfEra = days - era * 146097;
  int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  CalendarDate date;
  date.day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  date.month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  date.year = static_cast<int>(yearOfEra + era * 400 + (date.month <= 2 ? 1 : 0));
  return date;
}
