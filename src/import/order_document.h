// What the steps of one order's translation share: the page's context (file,
// document kind, current date, the one-entry rate cache) and the values read
// from one order. Used only inside the order translation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct ImportFile;
struct JsonObject;
struct JsonArray;

// Text of a service value on one line: every control byte but the tab
// becomes a blank (a line end inside it would end the entry early, the others
// have no place in the host's fields). Missing texts are "".
class LineText {
 public:
  void set(const char* value);
  const char* c_str() const { return text_; }
  bool empty() const { return text_[0] == '\0'; }
  size_t size() const;

 private:
  const char* text_ = "";
  std::string copy_;
};

// Replaces the control bytes but the tab in place by blanks.
void blankControlBytes(char* text);

// Document kinds of the options (`ZamowieniaCzyParagony`).
enum DocumentKind : int32_t {
  kCustomerOrder = 0,
  kReceiptOrInvoice = 1,
  kInternalIssue = 2,
  kAnonymousReceiptOrInvoice = 3,
  kExternalIssue = 4,
};

// Unknown kinds are translated as customer orders.
int32_t normalisedKind(int32_t documentKind);

struct RateCache {
  char date[10];     // at most 9 characters kept
  char currency[6];  // at most 5 characters kept
  double rate;
};

struct SeenOrders;

struct PageContext {
  ImportFile* file;
  SeenOrders* seen;      // null: nothing noted
  int32_t kind;          // normalised
  int32_t symbolSource;  // 1 SKU, otherwise EAN
  char currentDate[12];  // the host's current date, at most 11 characters
  RateCache rates;
};

// The largest order id carried: the status change sends the id as a 32-bit
// number, so an order above it would move another order (or none).
constexpr double kLargestOrderId = 2147483647.0;

struct OrderValues {
  bool faithful;  // the order can be carried as the service gave it
  double orderId;
  int32_t dateAdd;
  int32_t cashOnDelivery;
  int32_t dateConfirmed;
  double deliveryPrice;
  double paymentDone;
  LineText email, phone, userLogin, currency, wantInvoice, deliveryMethod;
  LineText deliveryFullname, deliveryCompany, deliveryAddress, deliveryPostcode, deliveryCity, deliveryCountryCode;
  LineText invoiceFullname, invoiceCompany, invoiceNip, invoiceAddress, invoicePostcode, invoiceCity,
      invoiceCountryCode;
  JsonArray* products;

  // Worked out before the document is written.
  double rate;           // 1.0 for the home currency
  double shippingPrice;  // "delivery_price" times the rate
  char taxId[15];
  char customerSymbol[17];
  char orderNumber[20];  // "order_id" as "%.0f"
};

struct ProductValues {
  LineText sku, ean, name;
  double quantity;
  double grossPrice;  // "price_brutto", times the rate when one applies
  double taxRate;
};

// A number truncated toward zero into 32 bits (NaN gives 0, the ends of the
// range hold what lies beyond them).
int32_t truncateToInt32(double value);

// Reads the order's members and works out the tax id, customer symbol and
// order number text (rate and shipping price are left to the caller).
// faithful tells whether "order_id" is a whole number from 1 to
// kLargestOrderId and every number member read is a finite number (a
// missing or null member counts 0, as before; one of another kind fails).
void readOrderValues(const JsonObject* order, OrderValues& values);
// The same for the number members of the products read.
bool productsCarriedFaithfully(const JsonArray* products);
void readProductValues(const JsonObject* product, double rate, ProductValues& values);

// True when a rate is applied to the order's prices.
inline bool rateApplies(double rate) { return rate >= 0.01; }

// The order's exchange rate, through the page's one-entry cache.
double orderRate(PageContext& page, const char* currency);
void emptyRateCache(RateCache& cache);

// Calendar date (UTC) of a Unix time.
struct CalendarDate {
  int year, month, day;
};
CalendarDate calendarDate(int32_t unixTime);

// The steps of one document, in the order they are written; the order is
// taken over on the service between the head and the keys.
void writeDocumentHeader(PageContext& page, OrderValues& order);
void writeDocumentKeys(PageContext& page, OrderValues& order);
void writePaymentBlock(PageContext& page, const OrderValues& order);
void writeProductPositions(PageContext& page, const OrderValues& order);
void writeShippingPosition(PageContext& page, const OrderValues& order);
