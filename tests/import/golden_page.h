// The page of three orders behind the golden import files: an invoice in
// EUR with a non-object product, cash on delivery in PLN with a line break
// in the address, and a prepaid order without currency, tax id or shipping.
#pragma once

#include <string>
#include <vector>

#include "import/import_fixture.h"

inline std::vector<std::string> goldenOrders() {
  std::string invoiceOrder = orderJson(
      5310001, {{"date_add", "1796598000"},
                {"user_login", quoted("lukasz_z")},
                {"email", quoted("lukasz@example.pl")},
                {"currency", quoted("EUR")},
                {"invoice_nip", quoted("526-104-08-28")},
                {"want_invoice", quoted("1")},
                {"invoice_fullname", quoted("\xC5\x81ukasz \xC5\xBB\xC3\xB3\xC5\x82\xC4\x87")},
                {"invoice_company", quoted("Firma Sp. z o.o.")},
                {"invoice_address", quoted("ul. \xC5\x9Aliska 3")},
                {"invoice_city", quoted("Krak\xC3\xB3w")},
                {"invoice_postcode", quoted("30-001")},
                {"delivery_fullname", quoted("Anna Zi\xC4\x99\x62\x61")},
                {"delivery_company", quoted("Firma Sp. z o.o.")},
                {"delivery_address", quoted("Hauptstra\xC3\x9F\x65 5")},
                {"delivery_postcode", quoted("10115")},
                {"delivery_city", quoted("Berlin")},
                {"delivery_country_code", quoted("DE")},
                {"delivery_method", quoted("Kurier DPD")},
                {"delivery_price", "15.99"},
                {"products",
                 "[" +
                     productJson({{"name", quoted("Kubek \xE2\x80\x9EZ\xC5\x82ota jesie\xC5\x84\xE2\x80\x9D 350 ml")},
                                  {"sku", quoted("KUB-ZJ")},
                                  {"ean", quoted("5901234123457")},
                                  {"price_brutto", "12.5"},
                                  {"quantity", "2"},
                                  {"tax_rate", "23"}}) +
                     ", 7, " +
                     productJson({{"name", quoted("Herbata 100% li\xC5\x9B\x63iasta")},
                                  {"sku", quoted("HER-1")},
                                  {"ean", quoted("5907501001404")},
                                  {"price_brutto", "8.25"},
                                  {"quantity", "1"},
                                  {"tax_rate", "8"}}) +
                     "]"}});
  std::string cashOrder = orderJson(5310002, {{"date_add", "1796500000"},
                                              {"user_login", quoted("a")},
                                              {"phone", quoted("600100200")},
                                              {"email", quoted("b@example.pl")},
                                              {"payment_method_cod", "1"},
                                              {"delivery_method", quoted("Paczkomat")},
                                              {"delivery_price", "11.99"},
                                              {"delivery_address", quoted("ul. D\xC5\x82uga 5\nm. 7")}});
  std::string prepaidOrder = orderJson(
      5310003,
      {{"date_add", "1796500000"},
       {"user_login", quoted("")},
       {"phone", quoted("5")},
       {"email", quoted("c@example.pl")},
       {"currency", quoted("")},
       {"invoice_nip", quoted("---")},
       {"want_invoice", quoted("1")},
       {"delivery_method", quoted("")},
       {"payment_done", "50.5"},
       {"products", "[" + productJson({{"price_brutto", "3.333"}, {"quantity", "1.5"}, {"tax_rate", "5"}}) + "]"}});
  return {invoiceOrder, cashOrder, prepaidOrder};
}

inline std::string goldenInvoices() {
  return "[{\"invoice_id\": 1, \"order_id\": 5310001, \"number\": \"FV/12/2026\"}]";
}
