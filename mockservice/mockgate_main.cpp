// mockgate: a local stand-in of the Marketgate order service for tests,
// benchmarks and the demo. Serves one shop file on 127.0.0.1 and prints
// "listening on PORT" as its first line.
#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <httplib.h>

#include "faults.h"
#include "mock_server.h"
#include "request_log.h"
#include "shop.h"

namespace {

struct Options {
    std::string dataPath;
    int port = 0;
    std::string logPath;
    std::string stateOutPath;
    std::vector<mockgate::FaultRule> faults;
};

const char* const kUsage =
    "usage: mockgate --data SHOP.json [--port N] [--log FILE] [--state-out FILE] [--fault METHOD:N:KIND]...\n"
    "  KIND: http500, drop, garbage, truncated, slow:MS or error\n";

bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        if (name == "--help" || name == "-h") return false;
        if (i + 1 >= argc) {
            error = "option " + name + " needs a value";
            return false;
        }
        std::string value = argv[++i];
        if (name == "--data") {
            options.dataPath = value;
        } else if (name == "--port") {
            char* end;
            long port = std::strtol(value.c_str(), &end, 10);
            if (value.empty() || *end || port < 0 || port > 65535) {
                error = "bad port " + value;
                return false;
            }
            options.port = int(port);
        } else if (name == "--log") {
            options.logPath = value;
        } else if (name == "--state-out") {
            options.stateOutPath = value;
        } else if (name == "--fault") {
            mockgate::FaultRule rule;
            if (!mockgate::parseFaultRule(value, rule, error)) return false;
            options.faults.push_back(rule);
        } else {
            error = "unknown option " + name;
            return false;
        }
    }
    if (options.dataPath.empty()) {
        error = "--data is required";
        return false;
    }
    return true;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "mockgate: %s\n", message.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, error)) {
        if (error.empty()) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        std::fprintf(stderr, "mockgate: %s\n%s", error.c_str(), kUsage);
        return 2;
    }

    mockgate::Shop shop;
    if (!mockgate::loadShopFile(options.dataPath, shop, error)) return fail(error);
    mockgate::RequestLog log;
    if (!options.logPath.empty() && !log.open(options.logPath, error)) return fail(error);
    mockgate::FaultPlan faults;
    for (const auto& rule : options.faults) faults.add(rule);

    // SIGTERM and SIGINT are taken by one waiting thread, so every server
    // thread (started later, inheriting the mask) runs undisturbed.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);

    httplib::Server server;
    mockgate::MockService service(shop, faults, log);
    service.attach(server);

    const char* const host = "127.0.0.1";
    int port = options.port;
    if (port == 0) {
        port = server.bind_to_any_port(host);
        if (port <= 0) return fail("cannot bind to a free port on 127.0.0.1");
    } else if (!server.bind_to_port(host, port)) {
        return fail("cannot bind to 127.0.0.1:" + std::to_string(port));
    }
    std::printf("listening on %d\n", port);
    std::fflush(stdout);

    std::atomic<bool> listening{true};
    std::thread stopper([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        // A signal that comes before the server runs would be lost by a
        // single stop(), so stop is repeated until the server has ended.
        while (listening) {
            server.stop();
            mockgate::closeClientConnections(port);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });

    server.listen_after_bind();
    listening = false;
    // Wakes the stopping thread if no signal came (the server ended by itself).
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();

    int status = 0;
    if (!options.stateOutPath.empty()) {
        service.withShop([&](const mockgate::Shop& current) {
            if (!mockgate::saveShopFile(options.stateOutPath, current, error)) status = fail(error);
        });
    }
    return status;
}
