// mgshopgen: writes a generated shop file for mockgate to standard output.
// Usage: mgshopgen --orders N [--status-id ID] [--seed S] > shop.json
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shop_generator.h"

namespace {

const char* const kUsage =
    "usage: mgshopgen --orders N [--status-id ID] [--seed S] > shop.json\n"
    "\n"
    "Writes a generated shop for mockgate --data to standard output.\n"
    "\n"
    "Options (anywhere on the line):\n"
    "  --orders N        the number of orders (required)\n"
    "  --status-id ID    the status every order is in (from 1)\n"
    "  --seed S          the seed of the generator\n"
    "  --help, -h        this text\n"
    "  --version         the version of mgshopgen\n"
    "\n"
    "Exit status: 0 written; 1 standard output could not be written; 2 bad usage.\n";

bool parseWhole(const char* text, long long min, long long& out) {
    char* end;
    errno = 0;
    out = std::strtoll(text, &end, 10);
    return *text && !*end && errno == 0 && out >= min;
}

}  // namespace

int main(int argc, char** argv) {
    mockgate::ShopGenOptions options;
    bool haveOrders = false;
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (name == "--help" || name == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (name == "--version") {
            std::puts("mgshopgen " MG_VERSION);
            return 0;
        }
        if (name != "--orders" && name != "--status-id" && name != "--seed") {
            std::fprintf(stderr, "mgshopgen: unknown option %s\n(mgshopgen --help lists the options)\n", name.c_str());
            return 2;
        }
        long long value;
        if (i + 1 >= argc || !parseWhole(argv[i + 1], name == "--status-id" ? 1 : 0, value)) {
            std::fprintf(stderr, "mgshopgen: option %s needs a whole number\n%s", name.c_str(), kUsage);
            return 2;
        }
        ++i;
        if (name == "--orders") {
            options.orders = value;
            haveOrders = true;
        } else if (name == "--status-id") {
            options.statusId = value;
        } else {
            options.seed = static_cast<unsigned long long>(value);
        }
    }
    if (!haveOrders) {
        std::fprintf(stderr, "mgshopgen: --orders is required\n%s", kUsage);
        return 2;
    }
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    mockgate::generateShop(options,
                           [](const std::string& piece) { std::fwrite(piece.data(), 1, piece.size(), stdout); });
    return std::fflush(stdout) == 0 ? 0 : 1;
}
