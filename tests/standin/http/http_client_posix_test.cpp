// The host stand-in's HTTP client against a loopback server: what arrives, how
// failures are reported, and that one connection carries consecutive requests.
#include "http/http_client.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <mutex>
#include <set>
#include <string>
#include <thread>

namespace {

using namespace standin;

// A loopback port that was free a moment ago and that nothing listens on.
int unusedLoopbackPort() {
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  if (probe < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = -1;
  if (::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  ::close(probe);
  return port;
}

const char kFormHeaders[] = "Content-Type: application/x-www-form-urlencoded\r\nX-Client: TOMIKS\r\n";

class HttpClient : public ::testing::Test {
 protected:
  void SetUp() override {
    server_.set_keep_alive_timeout(1);
    server_.set_pre_routing_handler([this](const httplib::Request& request, httplib::Response&) {
      std::lock_guard<std::mutex> lock(mutex_);
      clientPorts_.insert(request.remote_port);
      return httplib::Server::HandlerResponse::Unhandled;
    });
    server_.Post("/connector.php", [this](const httplib::Request& request, httplib::Response& response) {
      std::lock_guard<std::mutex> lock(mutex_);
      lastPath_ = request.path;
      lastBody_ = request.body;
      lastContentType_ = request.get_header_value("Content-Type");
      lastClientHeader_ = request.get_header_value("X-Client");
      contentTypeCount_ = request.get_header_value_count("Content-Type");
      response.set_content("{\"reply\":\"" + request.body + "\"}", "application/json");
    });
    server_.Post("/api/connector.php", [](const httplib::Request&, httplib::Response& response) {
      response.status = 201;
      response.set_content("prefixed", "text/plain");
    });
    server_.Post("/broken.php", [](const httplib::Request&, httplib::Response& response) {
      response.status = 500;
      response.set_content("service error", "text/plain");
    });
    // One byte every 200 ms, 25 in all: without a total time limit the
    // request would be answered in full.
    server_.Post("/trickle.php", [](const httplib::Request&, httplib::Response& response) {
      response.set_chunked_content_provider("text/plain", [](size_t sent, httplib::DataSink& sink) {
        if (sent == 25) {
          sink.done();
          return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return sink.write("x", 1);
      });
    });
    server_.Post("/sized.php", [](const httplib::Request& request, httplib::Response& response) {
      response.set_content(std::string(std::stoul(request.body), 'r'), "text/plain");
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    ASSERT_GT(port_, 0);
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    for (int i = 0; i < 500 && !server_.is_running(); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_TRUE(server_.is_running());
    setServiceBaseUrl(base());
  }

  void TearDown() override {
    resetHttpClient();  // lets the server's connection thread end at once
    setServiceBaseUrl("");
    setRequestLimits(0, 0);
    server_.stop();
    if (thread_.joinable()) thread_.join();
  }

  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  size_t connectionsSeen() {
    std::lock_guard<std::mutex> lock(mutex_);
    return clientPorts_.size();
  }

  httplib::Server server_;
  std::thread thread_;
  int port_ = 0;
  std::mutex mutex_;
  std::set<int> clientPorts_;
  std::string lastPath_, lastBody_, lastContentType_, lastClientHeader_;
  size_t contentTypeCount_ = 0;
};

TEST_F(HttpClient, PostsHeadersAndBodyToTheBaseAddressAndReturnsTheReply) {
  std::string reply;
  const int status =
      httpPost("api.example.invalid", "connector.php", kFormHeaders, "token=k&method=getOrderStatusList", reply);
  EXPECT_EQ(status, 200);
  EXPECT_EQ(reply, "{\"reply\":\"token=k&method=getOrderStatusList\"}");
  std::lock_guard<std::mutex> lock(mutex_);
  EXPECT_EQ(lastPath_, "/connector.php");
  EXPECT_EQ(lastBody_, "token=k&method=getOrderStatusList");
  EXPECT_EQ(lastContentType_, "application/x-www-form-urlencoded");
  EXPECT_EQ(contentTypeCount_, 1u);
  EXPECT_EQ(lastClientHeader_, "TOMIKS");
}

TEST_F(HttpClient, ABasePathPrefixesThePluginPath) {
  setServiceBaseUrl(base() + "/api/");
  std::string reply;
  EXPECT_EQ(httpPost("ignored", "/connector.php", kFormHeaders, "x=1", reply), 201);
  EXPECT_EQ(reply, "prefixed");
}

TEST_F(HttpClient, FailuresGiveMinusOneAndNoReply) {
  std::string reply = "stale";
  EXPECT_EQ(httpPost("ignored", "broken.php", kFormHeaders, "x=1", reply), -1);
  EXPECT_EQ(reply, "");
  reply = "stale";
  EXPECT_EQ(httpPost("ignored", "missing.php", kFormHeaders, "x=1", reply), -1);
  EXPECT_EQ(reply, "");

  setServiceBaseUrl("ftp://127.0.0.1:21");
  EXPECT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "x=1", reply), -1);
  setServiceBaseUrl("not an address");
  EXPECT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "x=1", reply), -1);
}

TEST_F(HttpClient, AClosedPortGivesMinusOne) {
  const int port = unusedLoopbackPort();
  ASSERT_GT(port, 0);
  setServiceBaseUrl("http://127.0.0.1:" + std::to_string(port));
  std::string reply = "stale";
  EXPECT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "x=1", reply), -1);
  EXPECT_EQ(reply, "");
}

TEST_F(HttpClient, ConsecutiveRequestsShareOneConnectionUntilReset) {
  std::string reply;
  ASSERT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "page=1", reply), 200);
  ASSERT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "page=2", reply), 200);
  // A failing status does not cost the connection either.
  ASSERT_EQ(httpPost("ignored", "broken.php", kFormHeaders, "page=3", reply), -1);
  ASSERT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "page=4", reply), 200);
  EXPECT_EQ(connectionsSeen(), 1u);

  resetHttpClient();
  ASSERT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "page=5", reply), 200);
  EXPECT_EQ(connectionsSeen(), 2u);
}

TEST_F(HttpClient, AConnectionTheServerClosedMeanwhileIsOpenedAgain) {
  std::string reply;
  ASSERT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "page=1", reply), 200);
  // The server drops idle connections after one second.
  std::this_thread::sleep_for(std::chrono::milliseconds(1500));
  EXPECT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "page=2", reply), 200);
  EXPECT_EQ(reply, "{\"reply\":\"page=2\"}");
  EXPECT_EQ(connectionsSeen(), 2u);
}

TEST_F(HttpClient, ARequestPastItsTotalTimeOrWithTooLargeAReplyFailsAndTheNextOneWorks) {
  std::string reply;
  setRequestLimits(1, 1000);
  EXPECT_EQ(httpPost("ignored", "trickle.php", kFormHeaders, "x=1", reply), -1);
  EXPECT_EQ(reply, "");
  EXPECT_EQ(httpPost("ignored", "sized.php", kFormHeaders, "1000", reply), 200);
  EXPECT_EQ(reply.size(), 1000u);
  EXPECT_EQ(httpPost("ignored", "sized.php", kFormHeaders, "1001", reply), -1);
  EXPECT_EQ(reply, "");
  EXPECT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "after", reply), 200);
  EXPECT_EQ(reply, "{\"reply\":\"after\"}");
}

}  // namespace
