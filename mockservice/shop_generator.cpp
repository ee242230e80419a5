// Generation of large shops from fixed Polish word lists and a seeded
// generator, so that a seed always yields the same shop.
#include "shop_generator.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "json_text.h"

namespace mockgate {

namespace {

struct Random {
    uint64_t state;
    uint64_t next() {  // splitmix64
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    long long below(long long n) { return static_cast<long long>(next() % static_cast<uint64_t>(n)); }
    bool chance(int percent) { return below(100) < percent; }
    template <class T, size_t N>
    const T& pick(const T (&list)[N]) {
        return list[below(N)];
    }
};

struct StatusDef {
    long long id;
    const char* name;
    const char* forCustomer;
};
const StatusDef kStatuses[] = {
    {101, "Nowe", "Zamówienie przyjęte"},       {102, "W realizacji", "Kompletujemy Twoje zamówienie"},
    {103, "Wysłane", "Przesyłka w drodze"},     {104, "Zrealizowane", "Zamówienie doręczone"},
    {105, "Anulowane", "Zamówienie anulowane"},
};

const char* const kFemaleNames[] = {"Anna",     "Katarzyna", "Małgorzata", "Agnieszka", "Barbara", "Ewa",
                                    "Elżbieta", "Zofia",     "Jadwiga",    "Łucja",     "Żaneta",  "Grażyna",
                                    "Jolanta",  "Bożena",    "Dorota",     "Magdalena"};
const char* const kMaleNames[] = {"Piotr",    "Krzysztof", "Andrzej",  "Tomasz",    "Paweł",   "Michał",
                                  "Łukasz",   "Marek",     "Grzegorz", "Józef",     "Mateusz", "Wojciech",
                                  "Jarosław", "Sławomir",  "Zbigniew", "Bartłomiej"};
const char* const kSurnames[] = {"Kowalski",  "Wiśniewski",  "Wójcik",      "Kowalczyk",  "Kamiński",    "Lewandowski",
                                 "Zieliński", "Szymański",   "Woźniak",     "Dąbrowski",  "Kozłowski",   "Jankowski",
                                 "Mazur",     "Kwiatkowski", "Krawczyk",    "Piotrowski", "Grabowski",   "Pawłowski",
                                 "Michalski", "Król",        "Wieczorek",   "Jabłoński",  "Wróbel",      "Nowak",
                                 "Stępień",   "Jaworski",    "Malinowski",  "Górski",     "Sikora",      "Błaszczyk",
                                 "Żak",       "Ślusarczyk",  "Gołębiowski", "Łęcki",      "Chmielewski", "Sołtys"};

struct City {
    const char* name;
    int postcodeArea;
};
const City kCities[] = {{"Warszawa", 0},     {"Kraków", 30},        {"Łódź", 90},         {"Wrocław", 50},
                        {"Poznań", 60},      {"Gdańsk", 80},        {"Szczecin", 70},     {"Bydgoszcz", 85},
                        {"Lublin", 20},      {"Białystok", 15},     {"Katowice", 40},     {"Gdynia", 81},
                        {"Częstochowa", 42}, {"Radom", 26},         {"Toruń", 87},        {"Rzeszów", 35},
                        {"Kielce", 25},      {"Gliwice", 44},       {"Zielona Góra", 65}, {"Olsztyn", 10},
                        {"Opole", 45},       {"Bielsko-Biała", 43}, {"Zakopane", 34},     {"Świnoujście", 72},
                        {"Łomża", 18},       {"Żyrardów", 96},      {"Ełk", 19},          {"Sieradz", 98}};
const char* const kStreets[] = {"ul. Marszałkowska", "ul. Piłsudskiego",     "ul. Mickiewicza", "ul. Słowackiego",
                                "ul. Kościuszki",    "ul. Żeromskiego",      "ul. Długa",       "ul. Wrzosowa",
                                "ul. Źródlana",      "ul. Ogrodowa",         "ul. Łąkowa",      "ul. Świętokrzyska",
                                "al. Jerozolimskie", "ul. Królowej Jadwigi", "ul. Różana",      "ul. Polna",
                                "ul. Leśna",         "ul. Słoneczna",        "ul. Grunwaldzka", "ul. Wojska Polskiego",
                                "os. Złote Łany",    "ul. Księżycowa"};

struct Abroad {
    const char* country;
    const char* city;
    const char* postcode;
    const char* street;
};
const Abroad kAbroad[] = {
    {"DE", "Berlin", "10115", "Hauptstraße"},      {"DE", "München", "80331", "Bahnhofstraße"},
    {"AT", "Wien", "1010", "Mariahilfer Straße"},  {"SK", "Bratislava", "811 01", "Obchodná"},
    {"LT", "Vilnius", "01103", "Gedimino pr."},    {"FR", "Lyon", "69002", "Rue de la République"},
    {"IE", "Dublin", "D02 X285", "Grafton Street"}};

const char* const kCompanies[] = {"Usługi Remontowe Józef Wąs",      "Przedsiębiorstwo Handlowe „Żuraw” Sp. z o.o.",
                                  "Biuro Rachunkowe Księga s.c.",    "Piekarnia Złoty Kłos",
                                  "Gabinet Stomatologiczny Uśmiech", "Hurtownia Elektryczna Iskra Sp. z o.o.",
                                  "Kwiaciarnia Różany Ogród",        "Zakład Ślusarski Stal-Pol",
                                  "Agencja Reklamowa Źdźbło",        "Apteka Pod Łabędziem",
                                  "Warsztat Samochodowy Tłok",       "Pracownia Ceramiki Glina i Ogień"};
const char* const kForeignCompanies[] = {"Müller Handels GmbH", "Bäckerei Schön KG", "Dupont & Fils SARL",
                                         "Novák s.r.o."};

struct Product {
    const char* name;
    const char* sku;
    double price;
    int tax;
    double weight;
};
const Product kProducts[] = {
    {"Kubek ceramiczny „Złota jesień” 350 ml", "KUB-ZJ-350", 29.99, 23, 0.4},
    {"Herbata zielona liściasta Sencha 100 g", "HER-SEN-100", 18.5, 5, 0.12},
    {"Miód wielokwiatowy z pasieki 400 g", "MIOD-WK-400", 32, 5, 0.55},
    {"Książka „Pan Tadeusz” – wydanie ilustrowane", "KS-PT-ILU", 59.9, 5, 0.9},
    {"Świeca sojowa o zapachu żurawiny", "SW-SOJ-ZUR", 39, 23, 0.3},
    {"Szalik wełniany w kratę", "SZAL-WEL-KR", 79, 23, 0.2},
    {"Łyżka drewniana bukowa 30 cm", "LYZ-BUK-30", 12.99, 23, 0.05},
    {"Żel pod prysznic – ogórek i aloes 500 ml", "ZEL-OGAL-500", 16.49, 23, 0.55},
    {"Kawa ziarnista Łagodna Poranna 1 kg", "KAWA-LP-1000", 64.9, 5, 1.05},
    {"Pieluszki tetrowe 5 szt.", "PIEL-TET-5", 34.99, 8, 0.35},
    {"Śpiworek niemowlęcy bawełniany", "SPIW-NIEM-BAW", 119, 8, 0.45},
    {"Czekolada gorzka 70% z żurawiną 100 g", "CZEK-70-ZUR", 8.99, 5, 0.11},
    {"Ręcznik kąpielowy frotte 70×140 cm", "REC-FR-70140", 49.9, 23, 0.6},
    {"Gąbka konjac do twarzy", "GAB-KONJ", 24, 23, 0.03},
    {"Dżem truskawkowy niskosłodzony 280 g", "DZEM-TRU-280", 11.49, 5, 0.4},
    {"Olej lniany tłoczony na zimno 250 ml", "OLEJ-LN-250", 21.9, 5, 0.3},
    {"Zestaw śrubokrętów precyzyjnych 24 el.", "SRUB-PREC-24", 45, 23, 0.25},
    {"Lampka nocna LED z ładowaniem USB", "LAMP-LED-USB", 89.99, 23, 0.5},
    {"Pościel bawełniana 160×200 – wzór źdźbła", "POSC-160-ZDZ", 149, 23, 1.4},
    {"Maseczka ochronna wielorazowa 3 szt.", "MAS-WIEL-3", 19.99, 8, 0.06},
    {"Krem nawilżający z masłem shea 50 ml", "KREM-SHEA-50", 36.9, 23, 0.09},
    {"Puzzle drewniane „Zwierzęta leśne” 24 el.", "PUZ-DRW-LES", 42, 23, 0.35},
    {"Kiełbasa jałowcowa 0,5 kg", "KIEL-JAL-05", 27.8, 5, 0.5},
    {"Płyn do mycia naczyń ekologiczny 1 l", "PLYN-NACZ-1L", 14.99, 23, 1.05},
    {"Plecak szkolny ergonomiczny – granatowy", "PLEC-ERG-GRA", 159, 23, 0.9},
    {"Kredki ołówkowe 24 kolory", "KRED-OL-24", 22.49, 23, 0.3},
    {"Słuchawki bezprzewodowe douszne", "SLUCH-BT-DO", 199, 23, 0.15},
    {"Ładowarka sieciowa 20 W USB-C", "LAD-20W-USBC", 59, 23, 0.1},
    {"Ciśnieniomierz naramienny automatyczny", "CISN-NAR-AUT", 179, 8, 0.6},
    {"Termometr bezdotykowy", "TERM-BEZD", 99, 8, 0.2},
    {"Witamina D3 2000 j.m. 90 kapsułek", "WIT-D3-90", 29.9, 8, 0.08},
    {"Sok jabłkowy tłoczony 3 l", "SOK-JAB-3L", 26, 5, 3.2},
    {"Pierniki toruńskie w czekoladzie 200 g", "PIER-TOR-200", 15.9, 5, 0.22},
    {"Mąka żytnia typ 720 1 kg", "MAKA-ZYT-720", 6.49, 5, 1},
    {"Kasza gryczana prażona 1 kg", "KASZA-GRY-1", 11.99, 5, 1},
    {"Koc polarowy 150×200 – szary", "KOC-POL-150", 69.99, 23, 0.9},
};

struct Delivery {
    const char* method;
    double price;
    bool cod;
};
const Delivery kDeliveries[] = {
    {"Kurier InPost", 14.99, false},
    {"Paczkomat InPost 24/7", 11.99, false},
    {"Kurier DPD – pobranie", 19.9, true},
    {"Poczta Polska – list polecony", 8.5, false},
    {"Poczta Polska – paczka pobraniowa", 17.5, true},
    {"Odbiór osobisty w sklepie", 0, false},
    {"DHL Express", 24, false},
    {"Kurier GLS", 15.5, false},
};
const char* const kPayments[] = {"Przelew online", "BLIK", "Karta płatnicza", "Przelew tradycyjny"};
const char* const kComments[] = {"",
                                 "",
                                 "",
                                 "Proszę o kontakt telefoniczny przed doręczeniem.",
                                 "Prezent – proszę nie dołączać paragonu.",
                                 "Dzwonić domofonem 12.",
                                 "Zostawić u sąsiada pod 5, jeśli nikogo nie będzie.",
                                 "Faktura na firmę męża."};
const char* const kEmailDomains[] = {"example.pl", "poczta.example.com", "mail.example.net", "example.com.pl"};

constexpr double kEuroRate = 4.3;

std::string formatAmount(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.2f", value);
    std::string s = text;
    while (!s.empty() && s.back() == '0') s.pop_back();
    if (!s.empty() && s.back() == '.') s.pop_back();
    return s;
}

// Member writers of the generated objects.
void text(JsonWriter& w, const char* key, const std::string& value) {
    w.Key(key);
    w.String(value.data(), rapidjson::SizeType(value.size()));
}
void number(JsonWriter& w, const char* key, long long value) {
    w.Key(key);
    w.Int64(value);
}
void amount(JsonWriter& w, const char* key, double value) {
    std::string literal = formatAmount(value);
    w.Key(key);
    w.RawValue(literal.data(), literal.size(), rapidjson::kNumberType);
}

std::string feminine(const std::string& surname) {
    static const char* const endings[][2] = {{"ski", "ska"}, {"cki", "cka"}, {"dzki", "dzka"}};
    for (const auto& ending : endings) {
        std::string from = ending[0];
        if (surname.size() > from.size() && surname.compare(surname.size() - from.size(), from.size(), from) == 0)
            return surname.substr(0, surname.size() - from.size()) + ending[1];
    }
    return surname;
}

// Lower-case ASCII form of a Polish name, for e-mail addresses and logins.
std::string asciiLower(const std::string& text) {
    static const char* const folds[][2] = {{"ą", "a"}, {"ć", "c"}, {"ę", "e"}, {"ł", "l"}, {"ń", "n"}, {"ó", "o"},
                                           {"ś", "s"}, {"ź", "z"}, {"ż", "z"}, {"Ą", "a"}, {"Ć", "c"}, {"Ę", "e"},
                                           {"Ł", "l"}, {"Ń", "n"}, {"Ó", "o"}, {"Ś", "s"}, {"Ź", "z"}, {"Ż", "z"}};
    std::string out;
    for (size_t i = 0; i < text.size();) {
        bool folded = false;
        for (const auto& fold : folds) {
            std::string from = fold[0];
            if (text.compare(i, from.size(), from) == 0) {
                out += fold[1];
                i += from.size();
                folded = true;
                break;
            }
        }
        if (folded) continue;
        char c = text[i++];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) out += c;
    }
    return out;
}

std::string digits(Random& random, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += char('0' + random.below(10));
    return s;
}

// A Polish tax id with a valid check digit, written in one of the forms
// customers type it in.
std::string polishTaxId(Random& random) {
    static const int weights[] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
    std::string nip;
    int check;
    do {
        nip = std::to_string(1 + random.below(9)) + digits(random, 8);
        int sum = 0;
        for (int i = 0; i < 9; ++i) sum += weights[i] * (nip[i] - '0');
        check = sum % 11;
    } while (check == 10);
    nip += char('0' + check);
    switch (random.below(4)) {
        case 0:
            return nip.substr(0, 3) + "-" + nip.substr(3, 3) + "-" + nip.substr(6, 2) + "-" + nip.substr(8);
        case 1:
            return "PL" + nip;
        default:
            return nip;
    }
}

std::string ean13(size_t productIndex) {
    std::string code = "590";
    char body[16];
    std::snprintf(body, sizeof body, "%09zu", 412300000 + productIndex * 7919);
    code += body;
    int sum = 0;
    for (int i = 0; i < 12; ++i) sum += (code[i] - '0') * (i % 2 ? 3 : 1);
    code += char('0' + (10 - sum % 10) % 10);
    return code;
}

struct Customer {
    std::string fullname, email, phone, login;
};

Customer makeCustomer(Random& random, long long serial) {
    Customer c;
    bool female = random.chance(55);
    std::string first = female ? random.pick(kFemaleNames) : random.pick(kMaleNames);
    std::string last = random.pick(kSurnames);
    if (female) last = feminine(last);
    c.fullname = first + " " + last;
    c.email =
        asciiLower(first) + "." + asciiLower(last) + std::to_string(serial % 1000) + "@" + random.pick(kEmailDomains);
    c.phone = random.chance(50) ? "+48 " + std::to_string(5 + random.below(3)) + digits(random, 2) + " " +
                                      digits(random, 3) + " " + digits(random, 3)
                                : std::to_string(5 + random.below(3)) + digits(random, 8);
    if (random.chance(60)) c.login = asciiLower(last) + "_" + asciiLower(first).substr(0, 3) + digits(random, 2);
    return c;
}

struct Address {
    std::string street, postcode, city, country;
};

Address polishAddress(Random& random) {
    const City& city = random.pick(kCities);
    char postcode[8];
    std::snprintf(postcode, sizeof postcode, "%02d-%03lld", city.postcodeArea, random.below(1000));
    std::string street = std::string(random.pick(kStreets)) + " " + std::to_string(1 + random.below(180));
    if (random.chance(40)) street += "/" + std::to_string(1 + random.below(90));
    return {street, postcode, city.name, "PL"};
}

Address foreignAddress(Random& random) {
    const Abroad& a = random.pick(kAbroad);
    return {std::string(a.street) + " " + std::to_string(1 + random.below(120)), a.postcode, a.city, a.country};
}

void writeProduct(JsonWriter& w, Random& random, bool euro, double& total) {
    size_t index = static_cast<size_t>(random.below(sizeof kProducts / sizeof kProducts[0]));
    const Product& p = kProducts[index];
    double price = euro ? std::round(p.price / kEuroRate * 100) / 100 : p.price;
    int quantity = random.chance(70) ? 1 : int(2 + random.below(3));
    total += price * quantity;
    w.StartObject();
    text(w, "storage", "db");
    text(w, "product_id", std::to_string(20000 + index * 13));
    number(w, "variant_id", random.chance(20) ? 1 + random.below(4) : 0);
    text(w, "name", p.name);
    text(w, "attributes", random.chance(25) ? "Kolor: granatowy" : "");
    text(w, "sku", p.sku);
    text(w, "ean", ean13(index));
    text(w, "location", "A-" + std::to_string(1 + index % 12) + "-" + std::to_string(1 + index % 5));
    amount(w, "price_brutto", price);
    number(w, "tax_rate", p.tax);
    number(w, "quantity", quantity);
    amount(w, "weight", p.weight);
    w.EndObject();
}

struct DateClock {
    long long value = 1704103200;  // 2024-01-01 10:00 UTC
    int run = 1;
    long long next(Random& random) {
        if (run < kMaxEqualDateRun && random.chance(25)) {
            ++run;
        } else {
            run = 1;
            value += 1 + random.below(900);
        }
        return value;
    }
};

void writeOrder(JsonWriter& w, Random& random, long long orderId, long long statusId, long long dateConfirmed,
                bool& wantsTaxInvoice) {
    bool abroad = random.chance(8);
    bool euro = abroad || random.chance(5);
    Customer customer = makeCustomer(random, orderId);
    Address delivery = abroad ? foreignAddress(random) : polishAddress(random);
    bool company = random.chance(30);
    bool wantInvoice = company ? random.chance(90) : random.chance(5);
    std::string taxId;
    if (company) taxId = abroad ? delivery.country + digits(random, 9) : polishTaxId(random);
    Address billing =
        company && random.chance(50) ? (abroad ? foreignAddress(random) : polishAddress(random)) : delivery;
    const Delivery& shipping = random.pick(kDeliveries);
    bool noShipping = random.chance(4);
    double shippingPrice =
        noShipping ? 0 : (euro ? std::round(shipping.price / kEuroRate * 100) / 100 : shipping.price);

    w.StartObject();
    number(w, "order_id", orderId);
    number(w, "shop_order_id", orderId - 4000000);
    text(w, "external_order_id", "");
    text(w, "order_source", "shop");
    number(w, "order_source_id", 1);
    number(w, "order_status_id", statusId);
    w.Key("confirmed");
    w.Bool(true);
    number(w, "date_confirmed", dateConfirmed);
    number(w, "date_add", dateConfirmed - random.below(2 * 86400));
    number(w, "date_in_status", dateConfirmed);
    text(w, "user_login", customer.login);
    text(w, "phone", customer.phone);
    text(w, "email", customer.email);
    text(w, "user_comments", random.pick(kComments));
    text(w, "admin_comments", "");
    text(w, "currency", euro ? "EUR" : "PLN");
    text(w, "payment_method", shipping.cod ? "Za pobraniem" : random.pick(kPayments));
    number(w, "payment_method_cod", shipping.cod && !noShipping ? 1 : 0);
    text(w, "delivery_method", noShipping ? "" : shipping.method);
    amount(w, "delivery_price", shippingPrice);
    text(w, "delivery_package_module", "");
    text(w, "delivery_package_nr", "");
    text(w, "delivery_fullname", customer.fullname);
    text(w, "delivery_company", company && random.chance(50) ? random.pick(kCompanies) : "");
    text(w, "delivery_address", delivery.street);
    text(w, "delivery_postcode", delivery.postcode);
    text(w, "delivery_city", delivery.city);
    text(w, "delivery_country_code", delivery.country);
    text(w, "delivery_point_id", "");
    text(w, "delivery_point_name", "");
    text(w, "invoice_fullname", company ? "" : customer.fullname);
    text(w, "invoice_company", company ? (abroad ? random.pick(kForeignCompanies) : random.pick(kCompanies)) : "");
    text(w, "invoice_nip", taxId);
    text(w, "invoice_address", billing.street);
    text(w, "invoice_postcode", billing.postcode);
    text(w, "invoice_city", billing.city);
    text(w, "invoice_country_code", billing.country);
    text(w, "want_invoice", wantInvoice ? "1" : "0");

    // The products come first from the generator, then the amount paid.
    rapidjson::StringBuffer productsText;
    JsonWriter products(productsText);
    double total = shippingPrice;
    int count = 1 + int(random.below(random.chance(20) ? 6 : 3));
    products.StartArray();
    for (int i = 0; i < count; ++i) writeProduct(products, random, euro, total);
    products.EndArray();
    bool cod = shipping.cod && !noShipping;
    amount(w, "payment_done", cod || random.chance(10) ? 0 : total);
    w.Key("products");
    w.RawValue(productsText.GetString(), productsText.GetSize(), rapidjson::kArrayType);
    w.EndObject();
    wantsTaxInvoice = wantInvoice && !taxId.empty();
}

std::string statusesText(long long statusId) {
    rapidjson::StringBuffer out;
    JsonWriter w(out);
    auto status = [&](long long id, const char* name, const char* forCustomer) {
        w.StartObject();
        number(w, "id", id);
        text(w, "name", name);
        text(w, "name_for_customer", forCustomer);
        w.EndObject();
    };
    bool known = false;
    w.StartArray();
    for (const StatusDef& s : kStatuses) {
        status(s.id, s.name, s.forCustomer);
        known = known || s.id == statusId;
    }
    if (!known) status(statusId, "Do importu", "Zamówienie przyjęte");
    w.EndArray();
    return out.GetString();
}

}  // namespace

void generateShop(const ShopGenOptions& options, const std::function<void(const std::string&)>& sink) {
    Random random{options.seed * 0x2545F4914F6CDD1Dull + 7};
    sink("{\n\"token\": \"demo-token-123\",\n\"statuses\": " + statusesText(options.statusId) + ",\n\"orders\": [\n");

    DateClock clock;
    long long orderId = 7200001;
    std::string invoices;
    long long invoiceId = 90001;
    for (long long i = 0; i < options.orders; ++i) {
        orderId += 1 + random.below(3);
        bool taxInvoice = false;
        rapidjson::StringBuffer order;
        JsonWriter w(order);
        writeOrder(w, random, orderId, options.statusId, clock.next(random), taxInvoice);
        std::string line = order.GetString();
        line += i + 1 < options.orders ? ",\n" : "\n";
        sink(line);
        if (taxInvoice && random.chance(70)) {
            rapidjson::StringBuffer invoice;
            JsonWriter w(invoice);
            w.StartObject();
            number(w, "invoice_id", invoiceId);
            number(w, "order_id", orderId);
            text(w, "number", "FV/" + std::to_string(invoiceId - 90000) + "/01/2024");
            w.EndObject();
            invoices += invoices.empty() ? "\n" : ",\n";
            invoices += invoice.GetString();
            ++invoiceId;
        }
    }
    sink("],\n\"invoices\": [" + invoices + (invoices.empty() ? "]\n}\n" : "\n]\n}\n"));
}

}  // namespace mockgate
