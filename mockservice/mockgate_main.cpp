// mockgate: a local stand-in of the Marketgate order service for tests,
// benchmarks and the demo. Serves one shop file on 127.0.0.1 and prints
// "listening on PORT" as its first line.
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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
    bool version = false;  // --version: tell the version, nothing else
};

const char* const kUsage =
    "usage: mockgate --data SHOP.json [--port N] [--log FILE] [--state-out FILE] [--fault METHOD:N:KIND]...\n"
    "\n"
    "A local stand-in of the Marketgate order service on 127.0.0.1; prints\n"
    "\"listening on PORT\" first and serves until SIGTERM or SIGINT.\n"
    "\n"
    "Options (anywhere on the line; --name=VALUE works too):\n"
    "  --data SHOP.json      the shop to serve (required)\n"
    "  --port N              the port (default 0: a free one)\n"
    "  --log FILE            one line per request, the file started empty\n"
    "  --state-out FILE      the shop with its orders' current statuses, written at stop\n"
    "  --fault METHOD:N:KIND the N-th call (from 1) of METHOD fails as KIND says\n"
    "                        (repeatable); N+ (e.g. getOrders:3+:drop): every call\n"
    "                        from the N-th on, a service gone down for good:\n"
    "    http500    answers HTTP 500 with a short text body; the call is not run\n"
    "    http429    answers HTTP 429 (too many requests); the call is not run\n"
    "    drop       closes the connection without any answer; the call is not run\n"
    "    garbage    answers HTTP 200 with a body that is not JSON; the call is not run\n"
    "    truncated  runs the call and answers the first half of its reply\n"
    "    error      answers status ERROR (ERROR_FAULT_INJECTED); the call is not run\n"
    "    slow:MS    runs the call and answers after MS milliseconds\n"
    "    reordered  runs the call and answers its \"statuses\" in reverse order\n"
    "               (getOrderStatusList: the shop's list as another order)\n"
    "  --help, -h            this text\n"
    "  --version             the version of mockgate\n"
    "\n"
    "Exit status: 0 served and stopped by a signal; 1 the shop could not be read,\n"
    "the port bound, the server kept running or the state written; 2 bad usage\n"
    "(an unknown option, a missing value, a word that is no option, a --data\n"
    "that names no file, a --log or --state-out that cannot be written).\n";

using ApplyOption = bool (*)(Options& options, const std::string& value, std::string& error);

// One option of the command line, each taking a value.
struct OptionRow {
    const char* name;
    ApplyOption apply;
};

const OptionRow kOptions[] = {
    {"--data",
     [](Options& o, const std::string& v, std::string&) {
         o.dataPath = v;
         return true;
     }},
    {"--port",
     [](Options& o, const std::string& v, std::string& error) {
         char* end;
         long port = std::strtol(v.c_str(), &end, 10);
         if (v.empty() || *end || port < 0 || port > 65535) {
             error = "bad port " + v;
             return false;
         }
         o.port = int(port);
         return true;
     }},
    {"--log",
     [](Options& o, const std::string& v, std::string&) {
         o.logPath = v;
         return true;
     }},
    {"--state-out",
     [](Options& o, const std::string& v, std::string&) {
         o.stateOutPath = v;
         return true;
     }},
    {"--fault",
     [](Options& o, const std::string& v, std::string& error) {
         mockgate::FaultRule rule;
         if (!mockgate::parseFaultRule(v, rule, error)) return false;
         o.faults.push_back(rule);
         return true;
     }},
};

// False with the reason when the command line is not usable; false with
// no reason when help or the version was asked for.
bool parseOptions(int argc, char** argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i];
        if (word == "--help" || word == "-h") return false;
        if (word == "--version") {
            options.version = true;
            return false;
        }
        if (word.rfind("-", 0) != 0) {
            error = "unexpected word \"" + word + "\": give the shop with --data " + word;
            return false;
        }
        std::string name = word, value;
        size_t equals = word.find('=');
        bool joined = equals != std::string::npos;
        if (joined) {
            name = word.substr(0, equals);
            value = word.substr(equals + 1);
        }
        const OptionRow* option = nullptr;
        for (const OptionRow& row : kOptions) {
            if (name == row.name) option = &row;
        }
        if (option == nullptr) {
            error = "unknown option " + name;
            return false;
        }
        if (!joined) {
            if (i + 1 >= argc) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!option->apply(options, value, error)) return false;
    }
    if (options.dataPath.empty()) {
        error = "--data is required";
        return false;
    }
    return true;
}

// The directory a file would be made in.
std::string directoryOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Whether a file can be written at path (made there, or written over),
// checked without touching it; false with the reason.
bool writablePath(const char* option, const std::string& path, std::string& error) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0) {
        if (S_ISDIR(info.st_mode)) {
            error = std::string(option) + " " + path + " is a directory, not a file";
            return false;
        }
        if (access(path.c_str(), W_OK) != 0) {
            error = std::string(option) + " " + path + " cannot be written: " + std::strerror(errno);
            return false;
        }
        return true;
    }
    std::string directory = directoryOf(path);
    if (access(directory.c_str(), W_OK) != 0) {
        error = std::string(option) + " " + path + " cannot be made in " + directory + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

// What the command line names, checked before anything is served.
bool checkPaths(const Options& options, std::string& error) {
    struct stat info;
    if (stat(options.dataPath.c_str(), &info) != 0) {
        error = "--data " + options.dataPath + " names no file: " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "--data " + options.dataPath + " is a directory, not a shop file";
        return false;
    }
    if (!options.logPath.empty() && !writablePath("--log", options.logPath, error)) return false;
    if (!options.stateOutPath.empty() && !writablePath("--state-out", options.stateOutPath, error)) return false;
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
            if (options.version)
                std::puts("mockgate " MG_VERSION);
            else
                std::fputs(kUsage, stdout);
            return 0;
        }
        std::fprintf(stderr, "mockgate: %s\n(mockgate --help lists the options)\n", error.c_str());
        return 2;
    }
    if (!checkPaths(options, error)) {
        std::fprintf(stderr, "mockgate: %s\n", error.c_str());
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

    bool served = server.listen_after_bind();
    listening = false;
    // Wakes the stopping thread if no signal came (the server ended by itself).
    pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();

    int status = served ? 0 : fail("the server stopped on an error");
    if (!options.stateOutPath.empty()) {
        service.withShop([&](const mockgate::Shop& current) {
            if (!mockgate::saveShopFile(options.stateOutPath, current, error)) status = fail(error);
        });
    }
    return status;
}
