// import_bench: imports a generated shop end to end through mockgate on
// loopback and reports the wall time, the requests by method (checked
// against the plan worked out from the shop) and the host's peak memory;
// then sends the import's requests again to a fresh mockgate with a minimal
// client, three times (the floor is the median), and reports the import's
// time against it.
// Usage: import_bench [--orders N] [--kind K] [--no-floor]
// (--no-floor stops after the import, for profiling the import alone)
#include <sys/resource.h>

#include <algorithm>
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

#include "host_control.h"
#include "import/import_run.h"
#include "ini_files.h"
#include "request_plan.h"
#include "request_replay.h"
#include "support/mockgate_process.h"

namespace {

struct Options {
  long orders = 10000;
  int kind = 0;
  bool floor = true;
};

bool parseOptions(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--no-floor") == 0) {
      options.floor = false;
    } else if (i + 1 == argc) {
      return false;
    } else if (std::strcmp(argv[i], "--orders") == 0) {
      options.orders = std::atol(argv[++i]);
    } else if (std::strcmp(argv[i], "--kind") == 0) {
      options.kind = std::atoi(argv[++i]);
    } else {
      return false;
    }
  }
  return options.orders > 0;
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

// The floor: the median of three replays of the import's requests (one
// replay alone moves by half with the machine's state); negative when one
// failed.
double floorSeconds(const std::string& shopPath, const std::vector<std::string>& logLines) {
  std::vector<std::string> bodies;
  if (!loggedBodies(logLines, bodies)) {
    std::fprintf(stderr, "floor: a logged request has no body\n");
    return -1;
  }
  double seconds[3];
  for (double& replay : seconds) {
    replay = replaySeconds(shopPath, bodies);
    if (replay < 0) return -1;
  }
  std::sort(std::begin(seconds), std::end(seconds));
  return seconds[1];
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parseOptions(argc, argv, options)) {
    std::fprintf(stderr, "usage: import_bench [--orders N] [--kind K] [--no-floor]\n");
    return 2;
  }
  char folder[] = "/tmp/import_bench.XXXXXX";
  if (mkdtemp(folder) == nullptr) return 1;
  std::string work = folder;
  std::string shopPath = work + "/shop.json";
  if (!generateShop(shopPath, options.orders)) return 1;

  MockgateProcess mock;
  if (!mock.start(shopPath)) {
    std::fprintf(stderr, "mockgate did not start\n");
    return 1;
  }
  standin::setWorkingDirectory(work);
  standin::setQuietMode(true);
  standin::setCallRecording(false);  // the stand-in's record of calls is for tests
  standin::setServiceBaseUrl(mock.baseUrl());
  std::string ini = work + "/marketgate.ini";
  standin::iniWrite(ini, "API", "Key", "demo-token-123");
  standin::iniWrite(ini, "Statusy", "StatusWePoz", "0");
  standin::iniWrite(ini, "Statusy", "StatusWyPoz", "1");
  standin::iniWrite(ini, "Opcje", "ZamowieniaCzyParagony", std::to_string(options.kind));

  struct rusage before, childrenBefore;
  getrusage(RUSAGE_SELF, &before);
  getrusage(RUSAGE_CHILDREN, &childrenBefore);

  auto started = std::chrono::steady_clock::now();
  runOrderImport();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  struct rusage after;
  getrusage(RUSAGE_SELF, &after);
  std::vector<std::string> logLines = mock.logLines();
  std::map<std::string, long> made = loggedRequests(logLines);
  size_t documents = standin::storedDocuments().size();
  mock.stop();
  struct rusage childrenAfter;
  getrusage(RUSAGE_CHILDREN, &childrenAfter);
  // The plan is worked out after the import, so that the shop's text and
  // tree do not count toward the import's peak memory.
  bool takenOver = options.kind >= 1 && options.kind <= 4;
  std::map<std::string, long> planned = plannedRequests(readFile(shopPath), 101, takenOver);
  double floor = options.floor ? floorSeconds(shopPath, logLines) : 0;

  std::printf("orders %ld, kind %d: %.2f s wall; host process %.2f s user, %.2f s system\n", options.orders,
              options.kind, seconds, secondsBetween(before.ru_utime, after.ru_utime),
              secondsBetween(before.ru_stime, after.ru_stime));
  std::printf("mockgate: %.2f s user, %.2f s system\n", secondsBetween(childrenBefore.ru_utime, childrenAfter.ru_utime),
              secondsBetween(childrenBefore.ru_stime, childrenAfter.ru_stime));
  printRequests("requests made   ", made);
  printRequests("requests planned", planned);
  std::printf("documents imported: %zu\n", documents);
  std::printf("peak memory of the host process: %ld KiB (%ld KiB before the import)\n", after.ru_maxrss,
              before.ru_maxrss);
  if (floor > 0) {
    std::printf("kind %d: import %.2f s, floor %.2f s, ratio %.2f\n", options.kind, seconds, floor, seconds / floor);
  }
  std::string cleanup = "rm -rf " + work;
  if (std::system(cleanup.c_str()) != 0) return 1;
  bool ok = made == planned && documents == static_cast<size_t>(options.orders);
  if (!ok) std::printf("MISMATCH: requests or documents differ from the plan\n");
  if (!options.floor) return ok ? 0 : 1;
  if (floor <= 0) std::printf("FLOOR FAILED: the import's requests could not be replayed\n");
  ok = ok && floor > 0;
  return ok ? 0 : 1;
}
