// import_bench: imports a generated shop end to end through mockgate on
// loopback and reports the wall time, the requests by method (checked
// against the plan worked out from the shop) and the host's peak memory;
// after each import it sends the import's requests again to a fresh
// mockgate with a minimal client (the floor). Three rounds by default; the
// import's time against the floor is the ratio of their medians.
// Usage: import_bench [--orders N] [--kind K] [--rounds R] [--no-floor]
// (--no-floor leaves the floor out, for profiling the import alone)
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "control/host_control.h"
#include "import/import_run.h"
#include "options/ini_files.h"
#include "request_plan.h"
#include "request_replay.h"
#include "support/mockgate_process.h"

namespace {

struct Options {
  long orders = 10000;
  int kind = 0;
  int rounds = 3;
  bool floor = true;
};

const char* const kUsage =
    "usage: import_bench [--orders N] [--kind K] [--rounds R] [--no-floor]\n"
    "\n"
    "Imports a generated shop end to end through mockgate on loopback, round\n"
    "after round, each import followed by its requests sent again with a minimal\n"
    "client (the floor); prints each round's times, the requests against the plan\n"
    "and the host's peak memory, and the ratio of the medians.\n"
    "\n"
    "Options (anywhere on the line):\n"
    "  --orders N   orders in the shop (default 10000)\n"
    "  --kind K     the import kind (default 0)\n"
    "  --rounds R   rounds (default 3)\n"
    "  --no-floor   the imports alone, for profiling\n"
    "  --help, -h   this text\n"
    "  --version    the version of import_bench\n"
    "\n"
    "Exit status: 0 every round done and the requests as planned; 1 an import or\n"
    "a floor failed, or the requests or documents differ from the plan; 2 bad usage.\n";

enum class Parsed { run, help, version, bad };

// A whole number of at least min, or false.
bool parseWhole(const char* text, long min, long& out) {
  char* end;
  errno = 0;
  out = std::strtol(text, &end, 10);
  return *text && !*end && errno == 0 && out >= min;
}

Parsed parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const char* name = argv[i];
    if (std::strcmp(name, "--help") == 0 || std::strcmp(name, "-h") == 0) return Parsed::help;
    if (std::strcmp(name, "--version") == 0) return Parsed::version;
    if (std::strcmp(name, "--no-floor") == 0) {
      options.floor = false;
      continue;
    }
    bool orders = std::strcmp(name, "--orders") == 0, kind = std::strcmp(name, "--kind") == 0,
         rounds = std::strcmp(name, "--rounds") == 0;
    if (!orders && !kind && !rounds) {
      std::fprintf(stderr, "import_bench: unknown option %s\n(import_bench --help lists the options)\n", name);
      return Parsed::bad;
    }
    long value;
    if (i + 1 == argc || !parseWhole(argv[i + 1], kind ? 0 : 1, value) || value > 100000000) {
      std::fprintf(stderr, "import_bench: option %s needs a whole number%s\n", name, kind ? "" : " from 1");
      return Parsed::bad;
    }
    ++i;
    if (orders) options.orders = value;
    if (kind) options.kind = static_cast<int>(value);
    if (rounds) options.rounds = static_cast<int>(value);
  }
  return Parsed::run;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

bool generateShop(const std::string& path, long orders) {
  std::string command = std::string(MGSHOPGEN_PATH) + " --orders " + std::to_string(orders) + " > " + path;
  return std::system(command.c_str()) == 0;
}

std::map<std::string, long> loggedRequests(const std::vector<std::string>& logLines) {
  std::map<std::string, long> requests;
  for (const std::string& line : logLines) {
    size_t at = line.find("\"method\": \"");
    std::string method = "?";
    if (at != std::string::npos) {
      at += 11;
      method = line.substr(at, line.find('"', at) - at);
    }
    requests[method] += 1;
  }
  return requests;
}

double secondsBetween(const timeval& from, const timeval& to) {
  return static_cast<double>(to.tv_sec - from.tv_sec) + static_cast<double>(to.tv_usec - from.tv_usec) / 1e6;
}

void printRequests(const char* title, const std::map<std::string, long>& requests) {
  long total = 0;
  std::printf("%s:", title);
  for (const auto& [method, count] : requests) {
    std::printf(" %s %ld", method.c_str(), count);
    total += count;
  }
  std::printf(" (total %ld)\n", total);
}

// Wall time of one replay of the requests against a fresh mockgate on the
// shop; negative when the replay failed.
double replaySeconds(const std::string& shopPath, const std::vector<std::string>& bodies) {
  MockgateProcess mock;
  if (!mock.start(shopPath)) return -1;
  std::string error;
  auto started = std::chrono::steady_clock::now();
  bool replayed = replayRequests(mock.port, bodies, error);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (!replayed) std::fprintf(stderr, "floor: %s\n", error.c_str());
  size_t served = mock.logLines().size();
  mock.stop();
  if (replayed && served != bodies.size()) {
    std::fprintf(stderr, "floor: mockgate served %zu of %zu requests\n", served, bodies.size());
    return -1;
  }
  return replayed ? seconds : -1;
}

// What one import did and cost.
struct ImportRound {
  double seconds = -1;
  double user = 0, system = 0;                // the host process
  double serviceUser = 0, serviceSystem = 0;  // mockgate
  long peakKiB = 0, peakBeforeKiB = 0;
  std::vector<std::string> logLines;
  size_t documents = 0;
};

// Imports the shop once into a fresh folder, through a fresh mockgate, with
// the host stand-in reset; false when mockgate did not start.
bool importOnce(const Options& options, const std::string& shopPath, const std::string& folder, ImportRound& round) {
  MockgateProcess mock;
  if (!mock.start(shopPath)) {
    std::fprintf(stderr, "mockgate did not start\n");
    return false;
  }
  standin::resetState();
  standin::setWorkingDirectory(folder);
  standin::setQuietMode(true);
  standin::setCallRecording(false);  // the stand-in's record of calls is for tests
  standin::setServiceBaseUrl(mock.baseUrl());
  std::string ini = folder + "/marketgate.ini";
  standin::iniWrite(ini, "API", "Key", "demo-token-123");
  standin::iniWrite(ini, "Statusy", "StatusWePoz", "0");
  standin::iniWrite(ini, "Statusy", "StatusWyPoz", "1");
  standin::iniWrite(ini, "Opcje", "ZamowieniaCzyParagony", std::to_string(options.kind));
  // What the set-up wrote (the shop above all) reaches the disk now, not at
  // the import's first flush.
  sync();

  struct rusage before, childrenBefore, after, childrenAfter;
  getrusage(RUSAGE_SELF, &before);
  getrusage(RUSAGE_CHILDREN, &childrenBefore);
  auto started = std::chrono::steady_clock::now();
  runOrderImport();
  round.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  getrusage(RUSAGE_SELF, &after);

  round.logLines = mock.logLines();
  round.documents = standin::storedDocuments().size();
  mock.stop();
  getrusage(RUSAGE_CHILDREN, &childrenAfter);
  round.user = secondsBetween(before.ru_utime, after.ru_utime);
  round.system = secondsBetween(before.ru_stime, after.ru_stime);
  round.serviceUser = secondsBetween(childrenBefore.ru_utime, childrenAfter.ru_utime);
  round.serviceSystem = secondsBetween(childrenBefore.ru_stime, childrenAfter.ru_stime);
  round.peakKiB = after.ru_maxrss;
  round.peakBeforeKiB = before.ru_maxrss;
  return true;
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  switch (parseOptions(argc, argv, options)) {
    case Parsed::run:
      break;
    case Parsed::help:
      std::fputs(kUsage, stdout);
      return 0;
    case Parsed::version:
      std::puts("import_bench " MG_VERSION);
      return 0;
    case Parsed::bad:
      return 2;
  }
  char folder[] = "/tmp/import_bench.XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  std::string work = folder;
  std::string shopPath = work + "/shop.json";
  if (!generateShop(shopPath, options.orders)) return 1;

  // Rounds of one import and one floor each, so that both meet the machine
  // in the same state; the figures are the medians.
  bool ok = true;
  ImportRound first;
  std::vector<double> imports, floors;
  for (int r = 1; r <= options.rounds && ok; ++r) {
    std::string roundFolder = work + "/round" + std::to_string(r);
    ImportRound round;
    if (mkdir(roundFolder.c_str(), 0700) != 0 || !importOnce(options, shopPath, roundFolder, round)) return 1;
    std::printf(
        "round %d: import %.2f s wall; host process %.2f s user, %.2f s system; mockgate %.2f s user, "
        "%.2f s system",
        r, round.seconds, round.user, round.system, round.serviceUser, round.serviceSystem);
    imports.push_back(round.seconds);
    if (options.floor) {
      std::vector<std::string> bodies;
      double floor = loggedBodies(round.logLines, bodies) ? replaySeconds(shopPath, bodies) : -1;
      if (floor <= 0) {
        std::printf("\nFLOOR FAILED: the import's requests could not be replayed\n");
        ok = false;
      } else {
        std::printf("; floor %.2f s", floor);
        floors.push_back(floor);
      }
    }
    std::printf("\n");
    std::fflush(stdout);
    if (r == 1) first = std::move(round);
  }

  // The plan is worked out after the imports, so that the shop's text and
  // tree do not count toward the import's peak memory.
  bool takenOver = options.kind >= 1 && options.kind <= 4;
  std::map<std::string, long> planned = plannedRequests(readFile(shopPath), 101, takenOver);
  std::map<std::string, long> made = loggedRequests(first.logLines);
  printRequests("requests made   ", made);
  printRequests("requests planned", planned);
  std::printf("documents imported: %zu\n", first.documents);
  std::printf("peak memory of the host process: %ld KiB (%ld KiB before the import)\n", first.peakKiB,
              first.peakBeforeKiB);
  if (ok && !floors.empty()) {
    double import = median(imports), floor = median(floors);
    std::printf("kind %d: import %.2f s, floor %.2f s, ratio %.2f\n", options.kind, import, floor, import / floor);
  }
  std::string cleanup = "rm -rf " + work;
  if (std::system(cleanup.c_str()) != 0) return 1;
  bool planKept = made == planned && first.documents == static_cast<size_t>(options.orders);
  if (!planKept) std::printf("MISMATCH: requests or documents differ from the plan\n");
  return ok && planKept ? 0 : 1;
}
