// Generators of the benchmark texts, deterministic for a given seed.
#include "bench_documents.h"

#include <cstdarg>
#include <cstdio>
#include <random>

namespace {

const char* const kFirstNames[] = {"Zofia",  "Łukasz",  "Małgorzata", "Paweł",  "Grażyna", "Wojciech",
                                   "Żaneta", "Jędrzej", "Agnieszka",  "Michał", "Bożena",  "Krzysztof"};
const char* const kLastNames[] = {"Kowalska",  "Wiśniewski", "Wójcik",    "Kamińska",  "Lewandowski", "Zieliński",
                                  "Szymańska", "Woźniak",    "Dąbrowski", "Kozłowska", "Jankowski",   "Mazur"};
const char* const kCities[] = {"Łódź",      "Kraków",      "Gdańsk",       "Wrocław",       "Poznań", "Szczecin",
                               "Białystok", "Częstochowa", "Zielona Góra", "Bielsko-Biała", "Toruń",  "Rzeszów"};
const char* const kStreets[] = {"ul. Źródlana",    "ul. Piękna",    "al. Jerozolimskie", "ul. Świętokrzyska",
                                "ul. Żeromskiego", "os. Słoneczne", "ul. Kościuszki",    "ul. Mickiewicza"};
const char* const kCompanies[] = {"",
                                  "",
                                  "",
                                  "Przedsiębiorstwo Handlowe „Różany Ogród” Sp. z o.o.",
                                  "Zakład Usług Elektrycznych Błażej Ścibor",
                                  "Hurtownia Spożywcza Żabka s.c."};
const char* const kProducts[] = {"Czajnik elektryczny ze stali nierdzewnej 1,7 l, podświetlenie LED",
                                 "Koszulka męska bawełniana, rozmiar XL, kolor granatowy",
                                 "Zestaw garnków żeliwnych z pokrywkami – 5 elementów",
                                 "Kabel \\\"HDMI\\\" 2.1 o długości 3 m, złocone wtyki",
                                 "Łyżeczki deserowe srebrne, komplet 6 sztuk w etui",
                                 "Książka „Pan Tadeusz” – wydanie ilustrowane, oprawa twarda",
                                 "Ręcznik kąpielowy z mikrofibry 70×140 cm, szybkoschnący",
                                 "Żarówka LED E27 9 W, barwa ciepła, 806 lm"};
const char* const kMethods[] = {"Kurier DPD", "Paczkomat InPost", "Poczta Polska – przesyłka pobraniowa",
                                "Odbiór osobisty", "Kurier DHL"};
const char* const kComments[] = {"", "Proszę o kontakt telefoniczny przed doręczeniem.",
                                 "Zostawić u sąsiada pod nr 5, jeśli nikogo nie będzie w domu.",
                                 "Faktura na firmę – dane poniżej. Dziękuję!"};

template <size_t N>
const char* pick(std::mt19937& random, const char* const (&list)[N]) {
  return list[random() % N];
}

void appendf(std::string& out, const char* format, ...) __attribute__((format(printf, 2, 3)));

void appendf(std::string& out, const char* format, ...) {
  char buffer[4096];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  out.append(buffer, n < 0 ? 0 : (n < int(sizeof buffer) ? n : int(sizeof buffer) - 1));
}

void appendProduct(std::string& out, std::mt19937& random, int index) {
  double price = (random() % 50000 + 99) / 100.0;
  appendf(out,
          "{\"product_id\":\"%u\",\"variant_id\":\"%u\",\"name\":\"%s\",\"sku\":\"SKU-%05u-%c\","
          "\"ean\":\"590%010u\",\"price_brutto\":%.2f,\"tax_rate\":%u,\"quantity\":%u}",
          unsigned(random() % 900000), unsigned(random() % 9000), pick(random, kProducts), unsigned(random() % 100000),
          'A' + index, unsigned(random() % 1000000000), price, random() % 4 ? 23u : 8u, unsigned(random() % 3 + 1));
}

void appendOrder(std::string& out, std::mt19937& random, unsigned orderId, unsigned dateAdd) {
  const char* first = pick(random, kFirstNames);
  const char* last = pick(random, kLastNames);
  const char* company = pick(random, kCompanies);
  bool invoice = company[0] != '\0';
  appendf(out,
          "{\"order_id\":%u,\"order_source\":\"allegro\","
          "\"order_status_id\":%u,\"confirmed\":true,\"date_confirmed\":%u,\"date_add\":%u,"
          "\"user_login\":\"%s_%s%u\",\"phone\":\"+48 %03u %03u %03u\","
          "\"email\":\"klient.%u.%u@poczta.example.pl\",\"user_comments\":\"%s\",\"admin_comments\":\"\","
          "\"currency\":\"%s\",\"payment_method\":\"%s\",\"payment_method_cod\":%s,\"payment_done\":%.2f,",
          orderId, 1000 + unsigned(random() % 5), dateAdd + 600, dateAdd, first, last, unsigned(random() % 100),
          unsigned(random() % 900 + 100), unsigned(random() % 1000), unsigned(random() % 1000), orderId,
          unsigned(random() % 1000), pick(random, kComments), random() % 10 ? "PLN" : "EUR",
          random() % 3 ? "Przelewy24" : "Za pobraniem", random() % 3 ? "0" : "1", (random() % 40000) / 100.0);
  appendf(out,
          "\"delivery_method\":\"%s\",\"delivery_price\":%.2f,\"delivery_package_module\":\"inpost\","
          "\"delivery_fullname\":\"%s %s\",\"delivery_company\":\"%s\","
          "\"delivery_address\":\"%s %u\\/%u\",\"delivery_city\":\"%s\",\"delivery_postcode\":\"%02u-%03u\","
          "\"delivery_country_code\":\"PL\",\"delivery_point_name\":\"Paczkomat %s\",",
          pick(random, kMethods), (random() % 3000) / 100.0, first, last, company, pick(random, kStreets),
          unsigned(random() % 200 + 1), unsigned(random() % 80 + 1), pick(random, kCities), unsigned(random() % 99),
          unsigned(random() % 999), pick(random, kCities));
  appendf(out,
          "\"invoice_fullname\":\"%s %s\",\"invoice_company\":\"%s\",\"invoice_nip\":\"%s\","
          "\"invoice_address\":\"%s %u\",\"invoice_city\":\"%s\",\"invoice_postcode\":\"%02u-%03u\","
          "\"invoice_country_code\":\"PL\",\"want_invoice\":\"%s\",\"products\":[",
          first, last, company, invoice ? "PL 526-000-12-46" : "", pick(random, kStreets), unsigned(random() % 200 + 1),
          pick(random, kCities), unsigned(random() % 99), unsigned(random() % 999), invoice ? "1" : "0");
  int products = 1 + int(random() % 3);
  for (int i = 0; i < products; ++i) {
    if (i != 0) out += ',';
    appendProduct(out, random, i);
  }
  out += "]}";
}

}  // namespace

std::string makeOrderPage(int orders, unsigned seed) {
  std::mt19937 random(seed);
  std::string out = "{\"status\":\"SUCCESS\",\"orders\":[";
  unsigned dateAdd = 1764000000;
  for (int i = 0; i < orders; ++i) {
    if (i != 0) out += ',';
    dateAdd += unsigned(random() % 3000);
    appendOrder(out, random, 4210000 + unsigned(i) * 13, dateAdd);
  }
  out += "]}";
  return out;
}

std::string makeNumberArray(int count, unsigned seed) {
  std::mt19937 random(seed);
  std::string out = "[";
  for (int i = 0; i < count; ++i) {
    if (i != 0) out += ',';
    switch (random() % 4) {
      case 0:
        appendf(out, "%u", unsigned(random()));
        break;
      case 1:
        appendf(out, "%.2f", (random() % 10000000) / 100.0);
        break;
      case 2:
        appendf(out, "-%.6f", (random() % 1000000000) / 1e6);
        break;
      default:
        appendf(out, "%.15g", (random() / 4294967296.0) * 1e-5);
        break;
    }
  }
  out += ']';
  return out;
}

std::string makeObjectArray(size_t bytes, unsigned seed) {
  std::mt19937 random(seed);
  std::string out = "[";
  while (out.size() < bytes) {
    if (out.size() > 1) out += ',';
    appendf(out, "{\"id\":%u,\"name\":\"%s %s\",\"city\":\"%s\",\"price\":%.2f,\"ok\":%s}",
            unsigned(random() % 1000000), pick(random, kFirstNames), pick(random, kLastNames), pick(random, kCities),
            (random() % 100000) / 100.0, random() % 2 ? "true" : "false");
  }
  out += ']';
  return out;
}
