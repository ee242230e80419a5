// Imports of separate host processes that meet in one working directory:
// two started at the same moment, and one whose host is killed in the
// middle. Whatever happens, every order of the shop lands in the books once.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <regex>
#include <thread>

#include "e2e/tomiks_run.h"
#include "control/host_control.h"
#include "support/host_fixture.h"
#include "support/mockgate_process.h"

namespace {

constexpr size_t kShopOrders = 29;  // in status 101 of the sample shop

class InterruptedImportsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    writeWholeFile(workDir.file("marketgate.ini"),
                   "[API]\nKey=demo-token-123\n[Statusy]\nStatusWePoz=0\nStatusWyPoz=1\n"
                   "[Opcje]\nZamowieniaCzyParagony=1\n");
  }
  std::vector<std::string> import() const {
    return {"--workdir", workDir.path(), "--plain", "--quiet", "--service", mock.baseUrl(), "import"};
  }
  // Stored documents per order, read from the host's store.
  std::map<std::string, int> bookings() const {
    standin::setWorkingDirectory(workDir.path());
    std::map<std::string, int> count;
    for (const standin::StoredDocument& document : standin::storedDocuments()) ++count[document.orderNumber];
    return count;
  }
  void expectEveryOrderBookedOnce() const {
    std::map<std::string, int> booked = bookings();
    EXPECT_EQ(booked.size(), kShopOrders);
    for (const auto& [order, count] : booked) EXPECT_EQ(count, 1) << "order " << order;
  }
  int ordersInStatus(int status) {
    mock.stop();
    std::string state = mock.stateText();
    std::regex pattern("\"order_status_id\": ?" + std::to_string(status) + "\\b");
    return static_cast<int>(
        std::distance(std::sregex_iterator(state.begin(), state.end(), pattern), std::sregex_iterator()));
  }
  int logged(const std::string& method) const {
    int count = 0;
    for (const std::string& line : mock.logLines()) count += line.find("\"" + method + "\"") != std::string::npos;
    return count;
  }

  MockgateProcess mock;
  TemporaryDirectory workDir;
};

// The first import to take the lock keeps it while the service thinks; the
// other ends at once, and a third finds nothing left to book.
TEST_F(InterruptedImportsTest, TwoImportsAtOnceThenAThirdBookEveryOrderOnce) {
  ASSERT_TRUE(mock.start(sampleFile("sample-shop.json"), {"getOrderStatusList:1:slow:2000"}));
  TomiksRun first, second;
  std::thread one([&] { first = runTomiks(import()); });
  std::thread two([&] { second = runTomiks(import()); });
  one.join();
  two.join();
  EXPECT_EQ(occurrences(first.output + second.output, "jest już uruchomiony"), 1) << first.output << second.output;
  EXPECT_EQ(logged("getOrderStatusList") - static_cast<int>(kShopOrders), 1) << "one import asked the service";
  TomiksRun third = runTomiks(import());
  EXPECT_EQ(third.status, 0) << third.output << third.errors;
  expectEveryOrderBookedOnce();
  EXPECT_EQ(ordersInStatus(101), 0);
}

// The host dies after ten orders were moved on the service, before its
// file reached the universal import: the next import sets the file aside,
// moves those orders back and books every order once.
TEST_F(InterruptedImportsTest, HostKilledDuringAnImportLosesAndDoublesNothing) {
  ASSERT_TRUE(mock.start(sampleFile("sample-shop.json"), {"getOrderStatusList:12:slow:5000"}));
  TemporaryDirectory capture;
  int host = startTomiks(import(), capture.file("out"), capture.file("err"));
  ASSERT_GT(host, 0);
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (logged("getOrderStatusList") < 12 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_EQ(logged("setOrderStatus"), 10);
  kill(host, SIGKILL);
  waitpid(host, nullptr, 0);
  ASSERT_TRUE(std::filesystem::exists(workDir.file("marketgate.edi")));

  TomiksRun next = runTomiks(import());
  EXPECT_NE(next.output.find("z przerwanego importu"), std::string::npos) << next.output;
  EXPECT_NE(next.output.find("Nie importuj go"), std::string::npos);
  expectEveryOrderBookedOnce();
  EXPECT_EQ(ordersInStatus(101), 0);
}

}  // namespace
