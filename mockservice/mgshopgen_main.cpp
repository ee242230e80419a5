// mgshopgen: writes a generated shop file for mockgate to standard output.
// Usage: mgshopgen --orders N [--status-id ID] [--seed S] > shop.json
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "shop_generator.h"

namespace {

const char* const kUsage = "usage: mgshopgen --orders N [--status-id ID] [--seed S] > shop.json\n";

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
        } else if (name == "--seed") {
            options.seed = static_cast<unsigned long long>(value);
        } else {
            std::fprintf(stderr, "mgshopgen: unknown option %s\n%s", name.c_str(), kUsage);
            return 2;
        }
    }
    if (!haveOrders) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    mockgate::generateShop(options, [](const std::string& piece) {
        std::fwrite(piece.data(), 1, piece.size(), stdout);
    });
    return std::fflush(stdout) == 0 ? 0 : 1;
}
