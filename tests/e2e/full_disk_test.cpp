// A real full disk: the host's working directory on a small file system of
// its own (a tmpfs in a private mount namespace) that fills at several
// points of an import, then two imports with room. Every order of the
// incoming status lands in exactly one document, none stays behind.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <regex>

#include "e2e/tomiks_run.h"
#include "control/host_control.h"
#include "support/host_fixture.h"
#include "support/mockgate_process.h"

namespace {

constexpr size_t kShopOrders = 29;  // in status 101 of the sample shop
constexpr int kNoNamespace = 77;

// Runs the shell script in a private user and mount namespace; its exit
// status, kNoNamespace when the namespace could not be had.
int runInOwnMounts(const std::string& script) {
  pid_t child = fork();
  if (child == 0) {
    execlp("unshare", "unshare", "-rm", "sh", "-c", script.c_str(), static_cast<char*>(nullptr));
    _exit(kNoNamespace);
  }
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

std::string quotedWord(const std::string& word) { return "'" + word + "'"; }

class FullDiskTest : public ::testing::Test {
 protected:
  // The three imports on a file system of sizeKb, the first one with
  // fillKb of it taken by another file; the working directory is copied
  // out at the end. false when no such file system could be made.
  bool importOnSmallDisk(int sizeKb, int fillKb, const std::string& serviceUrl) {
    std::string disk = file("disk");
    std::filesystem::create_directories(disk);
    std::string tomiks;
    for (const std::string& word : tomiksCommand()) tomiks += quotedWord(word) + " ";
    tomiks += "--workdir " + quotedWord(disk) + " --plain --quiet --service " + quotedWord(serviceUrl) + " import";
    std::string script =
        "mount -t tmpfs -o size=" + std::to_string(sizeKb) + "k tmpfs " + quotedWord(disk) + " || exit 77\n" +
        "printf '[API]\\nKey=demo-token-123\\n[Statusy]\\nStatusWePoz=0\\nStatusWyPoz=1\\n[Opcje]\\n"
        "ZamowieniaCzyParagony=1\\n' > " +
        quotedWord(disk + "/marketgate.ini") + "\n" + "head -c " + std::to_string(fillKb * 1024) + " /dev/zero > " +
        quotedWord(disk + "/filler") + "\n" + tomiks + " > " + quotedWord(file("first")) + " 2>&1\n" + "rm -f " +
        quotedWord(disk + "/filler") + "\n" + "mount -o remount,size=16m " + quotedWord(disk) + "\n" + tomiks + " > " +
        quotedWord(file("second")) + " 2>&1\n" + tomiks + " > " + quotedWord(file("third")) + " 2>&1\n" + "mkdir " +
        quotedWord(file("copy")) + " && cp -a " + quotedWord(disk) + "/. " + quotedWord(file("copy")) + "\n";
    return runInOwnMounts(script) == 0;
  }
  // A file of this round's own folder.
  std::string file(const std::string& name) const { return outside.file(round + "-" + name); }
  std::map<std::string, int> bookings() const {
    standin::setWorkingDirectory(file("copy"));
    std::map<std::string, int> count;
    for (const standin::StoredDocument& document : standin::storedDocuments()) ++count[document.orderNumber];
    return count;
  }
  static int ordersInStatus(MockgateProcess& mock, int status) {
    mock.stop();
    std::string state = mock.stateText();
    std::regex pattern("\"order_status_id\": ?" + std::to_string(status) + "\\b");
    return static_cast<int>(
        std::distance(std::sregex_iterator(state.begin(), state.end(), pattern), std::sregex_iterator()));
  }

  TemporaryDirectory outside;
  std::string round;
};

// The disk fills during the pages (the import file), during the note and
// the reply files, and during the host's store; the imports with room that
// follow book every order once and leave none in the incoming status.
TEST_F(FullDiskTest, DiskFullDuringAnImportThenImportsWithRoomBookEveryOrderOnce) {
  // Room for: not the status list; not the first page; the import file cut
  // during the pages; the store full twice; a whole import.
  for (int free : {8, 20, 52, 64, 160, 200}) {
    SCOPED_TRACE("KiB free: " + std::to_string(free));
    round = std::to_string(free);
    MockgateProcess mock;
    ASSERT_TRUE(mock.start(sampleFile("sample-shop.json")));
    if (!importOnSmallDisk(1024, 1024 - free, mock.baseUrl())) {
      GTEST_SKIP() << "no small file system of its own here (a private mount namespace with a tmpfs)";
    }
    std::string first = readWholeFile(file("first"));
    std::map<std::string, int> booked = bookings();
    EXPECT_EQ(booked.size(), kShopOrders) << first << readWholeFile(file("second"));
    for (const auto& [order, count] : booked) EXPECT_EQ(count, 1) << "order " << order;
    EXPECT_EQ(ordersInStatus(mock, 101), 0);
  }
}

}  // namespace
