// Edge cases of the page translation: unusable replies, the next-page date,
// the rate cache, customer symbols and tax ids, options that change the
// document, payment amounts and line breaks (over-long texts: field_bounds_test).
#include <gtest/gtest.h>

#include <cstring>

#include "control/host_control.h"
#include "import/import_fixture.h"
#include "import/order_translation.h"

namespace {

class TranslationTest : public ImportTest {
 protected:
  static std::string lineOf(const std::string& file, const std::string& key) {
    std::vector<std::string> lines = linesOf(file, key);
    return lines.empty() ? "<none>" : lines[0];
  }
  std::vector<std::string> manyOrders(int count, int firstDate) {
    std::vector<std::string> orders;
    for (int i = 0; i < count; ++i) {
      orders.push_back(orderJson(1000 + i, {{"date_confirmed", std::to_string(firstDate + i)}}));
    }
    return orders;
  }
};

TEST_F(TranslationTest, UnusableRepliesGiveMinusOneAndWriteNothing) {
  const char* replies[] = {
      "[]", "", " {\"orders\": []}", "{\"orders\": 5}", "{\"status\":\"ERROR\"}", "{\"orders\": [", "garbage"};
  for (const char* reply : replies) {
    int result = 0;
    int32_t next = 0;
    EXPECT_EQ(translatePage(reply, 1, 0, &next, &result), "") << reply;
    EXPECT_EQ(result, -1) << reply;
    EXPECT_FALSE(standin::waitNoticeShown()) << "the decoding notice is removed";
  }
  int32_t next = 0;
  EXPECT_EQ(translateOrders(nullptr, nullptr, 1, 0, &next), -1);
}

TEST_F(TranslationTest, EmptyPageWritesNothingAndLeavesTheNextDate) {
  int result = -1;
  int32_t next = 0;
  EXPECT_EQ(translatePage(ordersReply({}), 0, 0, &next, &result), "");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(next, 0);
}

TEST_F(TranslationTest, OnlyAFullPageGivesTheLastConfirmationDate) {
  int32_t next = 0;
  translatePage(ordersReply(manyOrders(99, 5000)), 0, 0, &next);
  EXPECT_EQ(next, 0);
  translatePage(ordersReply(manyOrders(101, 5000)), 0, 0, &next);
  EXPECT_EQ(next, 0);
  std::vector<std::string> orders = manyOrders(99, 5000);
  // The last order has no products: nothing is written for it, but its
  // confirmation date still starts the next page.
  orders.push_back(orderJson(9999, {{"date_confirmed", "7777.9"}, {"products", ""}}));
  std::string file = translatePage(ordersReply(orders), 0, 0, &next);
  EXPECT_EQ(next, 7777);
  EXPECT_EQ(linesOf(file, "Rejestr").size(), 99u);
  EXPECT_EQ(file.find("9999"), std::string::npos);
}

TEST_F(TranslationTest, SeenOrdersAreSkippedWhole) {
  startShop(shopJson({}, "[{\"order_id\": 1, \"number\": \"FV/1\"}]"));
  setStatusPositions(0, 1);
  SeenOrders seen;
  std::string taxOrder = orderJson(1, {{"invoice_nip", quoted("5261040828")}});
  std::string reply = ordersReply({taxOrder, orderJson(2), taxOrder});
  std::string path = workDir.file("seen.edi");
  std::FILE* file = std::fopen(path.c_str(), "w");
  int32_t next = 0;
  EXPECT_EQ(translateOrders(reply.c_str(), file, 1, 0, &next, &seen), 0);
  EXPECT_EQ(translateOrders(ordersReply({orderJson(2), orderJson(3)}).c_str(), file, 1, 0, &next, &seen), 0);
  std::fclose(file);
  std::string written = readTextFile(path);
  EXPECT_EQ(linesOf(written, "Uwagi"),
            (std::vector<std::string>{"Uwagi=Zam:1;Email:klient@example.pl", "Uwagi=Zam:2;Email:klient@example.pl",
                                      "Uwagi=Zam:3;Email:klient@example.pl"}));
  EXPECT_EQ(requestCount("getInvoices"), 1);
  EXPECT_EQ(seen.ids.size(), 3u);
}

TEST_F(TranslationTest, RatesAreCachedPerCurrencyAndMissingOnesCountAsOne) {
  std::string file = translatePage(
      ordersReply({orderJson(1, {{"currency", quoted("EUR")}}), orderJson(2, {{"currency", quoted("PLN")}}),
                   orderJson(3, {{"currency", quoted("EUR")}}), orderJson(4, {{"currency", quoted("USD")}})}),
      0);
  EXPECT_EQ(standin::callCount(51774), 2) << "EUR once, USD once";
  EXPECT_EQ(linesOf(file, "WalutaKurs"), (std::vector<std::string>{"WalutaKurs=4.2000", "WalutaKurs=1.0000",
                                                                   "WalutaKurs=4.2000", "WalutaKurs=1.0000"}));
  EXPECT_EQ(linesOf(file, "CenaBrutto"),
            (std::vector<std::string>{"CenaBrutto=42.00", "CenaBrutto=67.16", "CenaBrutto=10.00", "CenaBrutto=15.99",
                                      "CenaBrutto=42.00", "CenaBrutto=67.16", "CenaBrutto=10.00", "CenaBrutto=15.99"}));
  // Products and shipping in one currency: 2 x 42.00 + 67.16.
  EXPECT_EQ(linesOf(file, "Przedplata")[0], "Przedplata=151.16");
  EXPECT_EQ(linesOf(file, "Przedplata")[3], "Przedplata=35.99");
}

TEST_F(TranslationTest, PaidAmountIsWrittenAsReceivedAndOneCentCountsAsUnpaid) {
  std::string file =
      translatePage(ordersReply({orderJson(1, {{"currency", quoted("EUR")}, {"payment_done", "10"}}),
                                 orderJson(2, {{"payment_done", "0.01"}}),
                                 orderJson(3, {{"payment_method_cod", "-0.5"}, {"payment_done", "5"}}),
                                 orderJson(4, {{"payment_method_cod", "2.7"}, {"delivery_price", "0.01"}})}),
                    0);
  EXPECT_EQ(linesOf(file, "Przedplata"),
            (std::vector<std::string>{"Przedplata=10.00", "Przedplata=35.99", "Przedplata=5.00"}));
  EXPECT_EQ(linesOf(file, "Brutto"), (std::vector<std::string>{"Brutto=20.01"}));
  EXPECT_EQ(linesOf(file, "SposobPlatnosci").back(), "SposobPlatnosci=pobranie");
  EXPECT_EQ(linesOf(file, "Ilosc=1").size(), 0u) << "a shipping price of 0.01 gives no shipping position";
  EXPECT_EQ(linesOf(file, "Nazwa").size(), 7u);
}

TEST_F(TranslationTest, CustomerSymbolFallsBackFromLoginToPhoneToEmail) {
  std::string file = translatePage(
      ordersReply({orderJson(1, {{"user_login", quoted("ab")}}),
                   orderJson(2, {{"user_login", quoted("a")}, {"phone", quoted("12")}}),
                   orderJson(3, {{"user_login", quoted("a")}, {"phone", quoted("1")}}),
                   orderJson(4, {{"user_login", quoted("")}, {"phone", quoted("")}, {"email", quoted("")}})}),
      0);
  EXPECT_EQ(linesOf(file, "SymbolKontrahenta"),
            (std::vector<std::string>{"SymbolKontrahenta=ab", "SymbolKontrahenta=12",
                                      "SymbolKontrahenta=klient@example.p", "SymbolKontrahenta="}));
}

TEST_F(TranslationTest, TaxIdWithoutLetterOrDigitIsAbsent) {
  char dashes[] = "- -/-";
  EXPECT_EQ(taxIdPresent(dashes), 0);
  EXPECT_STREQ(dashes, "");
  char valid[] = "--7";
  EXPECT_EQ(taxIdPresent(valid), 1);
  EXPECT_STREQ(valid, "--7");

  startShop(shopJson({}));
  std::string order = orderJson(1, {{"invoice_nip", quoted("---")}, {"want_invoice", quoted("1")}});
  std::string kind1 = translatePage(ordersReply({order}), 1);
  EXPECT_EQ(lineOf(kind1, "NrPar"), "NrPar=1");
  EXPECT_EQ(lineOf(kind1, "Nip"), "<none>");
  EXPECT_EQ(lineOf(kind1, "Rejestr"), "Rejestr=Paragony");
  std::string kind3 = translatePage(ordersReply({order}), 3);
  EXPECT_EQ(lineOf(kind3, "PominDaneKontrahenta"), "PominDaneKontrahenta=1");
  EXPECT_EQ(requestCount("getInvoices"), 0);
}

TEST_F(TranslationTest, PersonsModeKeepsAReceiptWithTaxIdAndRemarksFollowTheOption) {
  startShop(shopJson({}));
  setOption("Kontrahent", "2");
  setOption("CoWpisacDoUwag", "1");
  std::string file = translatePage(
      ordersReply({orderJson(7, {{"invoice_nip", quoted("5261040828")}, {"want_invoice", quoted("1")}})}), 1);
  EXPECT_EQ(linesOf(file, "Rejestr"), (std::vector<std::string>{"Rejestr=Paragony"}));
  EXPECT_EQ(lineOf(file, "Nip"), "Nip=5261040828");
  EXPECT_EQ(lineOf(file, "Uwagi"), "Uwagi=klient@example.pl");
  EXPECT_EQ(lineOf(file, "NrPar"), "<none>");
  EXPECT_EQ(lineOf(file, "NrDok"), "NrDok=7") << "no invoice on the service";
}

TEST_F(TranslationTest, CountryIsTheFirstCodeOtherThanPl) {
  std::string file = translatePage(
      ordersReply({orderJson(1, {{"invoice_country_code", quoted("PL")}, {"delivery_country_code", quoted("DE")}}),
                   orderJson(2, {{"invoice_country_code", quoted("pl")}, {"delivery_country_code", quoted("DE")}}),
                   orderJson(3, {{"invoice_country_code", quoted("")}, {"delivery_country_code", quoted("PL")}})}),
      0);
  EXPECT_EQ(linesOf(file, "Kraj"), (std::vector<std::string>{"Kraj=DE", "Kraj=pl"}));
}

TEST_F(TranslationTest, DatesOfKindTwoComeFromTheOrderInUtc) {
  std::string file = translatePage(ordersReply({orderJson(1, {{"date_add", "0"}}), orderJson(2, {{"date_add", "-1"}}),
                                                orderJson(3, {{"date_add", "951825600"}})}),
                                   2);
  EXPECT_EQ(linesOf(file, "DataWyst"),
            (std::vector<std::string>{"DataWyst=70.01.01", "DataWyst=69.12.31", "DataWyst=00.02.29"}));
}

TEST_F(TranslationTest, ShipmentSymbolFollowsTheOptionsAndIsCut) {
  char symbol[kShipmentSymbolSize];
  EXPECT_STREQ(shipmentSymbol(symbol, sizeof symbol, 15.99), "przesylka15.99");
  setOption("SymbolPrzesylki", "WYSYLKA");
  setOption("NieDoklejajKwotyDoSymbPrzes", "1");
  EXPECT_STREQ(shipmentSymbol(symbol, sizeof symbol, 15.99), "WYSYLKA");
  setOption("SymbolPrzesylki", "SYMBOL-16-ZNAKOW");
  setOption("NieDoklejajKwotyDoSymbPrzes", "0");
  EXPECT_STREQ(shipmentSymbol(symbol, sizeof symbol, 1234.5), "SYMBOL-16-ZNAKOW123");
  EXPECT_STREQ(shipmentSymbol(symbol, sizeof symbol, 1e300), "SYMBOL-16-ZNAKOW100");
}

// Line ends and the other control bytes, but tabs, become blanks.
TEST_F(TranslationTest, ControlBytesInServiceTextsBecomeBlanks) {
  startShop(shopJson({}, "[{\"order_id\": 1, \"number\": \"FV\\n1\\u001b\"}]"));
  std::string file = translatePage(
      ordersReply({orderJson(
          1, {{"invoice_nip", quoted("52\n61")},
              {"email", quoted("a@b.pl\r\n[Dokument]")},
              {"delivery_method", "\"Kurier\\nDPD\\u0001\\tX\\u007f\""},
              {"products", "[" + productJson({{"name", quoted("Kubek\n\nXL")}, {"ean", quoted("\r")}}) + "]"}})}),
      0);
  EXPECT_EQ(lineOf(file, "Uwagi"), "Uwagi=a@b.pl  [Dokument]");
  EXPECT_EQ(lineOf(file, "Nip"), "Nip=52 61");
  EXPECT_EQ(lineOf(file, "NrDok"), "NrDok=FV 1 f");
  EXPECT_EQ(linesOf(file, "Nazwa"), (std::vector<std::string>{"Nazwa=Kubek  XL", "Nazwa=Kurier DPD \tX "}));
  EXPECT_EQ(lineOf(file, "Symbol"), "Symbol= ");
  EXPECT_EQ(linesOf(file, "Rejestr").size(), 1u);
}

TEST_F(TranslationTest, MissingOrMistypedMembersAreEmptyTexts) {
  std::string file = translatePage(ordersReply({"{\"order_id\": 5, \"email\": 7, \"products\": [{}]}"}), 0);
  EXPECT_EQ(file,
            "\n[Dokument]\nRejestr=ZamowieniaSpr\nUwagi=\nTypDok=2\nNrDok=5\nSymbolKontrahenta=\n"
            "NazwaKontrahenta= \nAdresKontrahenta=  \nSymbolOdbiorcy=\nNazwaOdbiorcy= \nAdresOdbiorcy=  \n"
            "WalutaKurs=1.0000\nDataSprzed=70.01.01\nDataWyst=70.01.01\nNrPlatnosci=\nSposobPlatnosci=\n"
            "PrzedplataNr=3\nPrzedplata=0.00\nTermin=0.00\nGotowka=0.00\nKarta=0.00\nBon=0.00\nCzek=0.00\n"
            "\n[ZawartoscDokumentu]\n\n[Poz1]\nSymbol=\nIndeks=\nNazwa=\nJm=SZT\nIlosc=0.00\nCenaBrutto=0.00\n"
            "Vat=0 %\n");
}

}  // namespace
