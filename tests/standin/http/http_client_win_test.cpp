// The Windows stand-in's HTTP client (WinHTTP) against a loopback server in
// the test: what arrives, how failures are reported, that one connection
// carries consecutive requests, and that a request whose connection closed
// unanswered is not sent again.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "http/http_client.h"

namespace {

using namespace standin;

const char kFormHeaders[] = "Content-Type: application/x-www-form-urlencoded\r\nX-Client: TOMIKS\r\n";

struct ReceivedRequest {
  std::string path, body, contentType, client;
  int contentTypes = 0;
  int connection = 0;  // which accepted connection carried it, from 1
};

// A small HTTP/1.1 server on 127.0.0.1, one connection at a time:
//   /connector.php      200 with {"reply":"<body>"}
//   /api/connector.php  201 "prefixed"
//   /broken.php         500 "service error"
//   /drop.php           closes the connection without an answer
//   /last.php           200 "last", then closes the connection
class LoopbackServer {
 public:
  bool start() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return false;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (listener_ == INVALID_SOCKET || bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0 || listen(listener_, 8) != 0) {
      return false;
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
    return true;
  }

  void stop() {
    if (listener_ == INVALID_SOCKET) return;
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
    WSACleanup();
  }

  std::string base() const { return "http://127.0.0.1:" + std::to_string(port_); }
  int port() const { return port_; }

  std::vector<ReceivedRequest> received() {
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }

 private:
  static std::string headerValue(const std::string& head, const std::string& name, int* count = nullptr) {
    std::string value;
    size_t at = 0;
    while ((at = head.find("\r\n", at)) != std::string::npos) {
      at += 2;
      size_t colon = head.find(':', at);
      size_t end = head.find("\r\n", at);
      if (colon == std::string::npos || colon > end) continue;
      if (_strnicmp(head.c_str() + at, name.c_str(), name.size()) == 0 && colon - at == name.size()) {
        value = head.substr(colon + 1, end - colon - 1);
        while (!value.empty() && value[0] == ' ') value.erase(0, 1);
        if (count != nullptr) *count += 1;
      }
    }
    return value;
  }

  // Waits until the socket has something to read; false once the server stops.
  bool readable(SOCKET socket) {
    while (!stopping_) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(socket, &set);
      timeval wait{0, 50 * 1000};
      int ready = select(0, &set, nullptr, nullptr, &wait);
      if (ready != 0) return ready > 0;
    }
    return false;
  }

  static bool sendAll(SOCKET socket, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
      int n = send(socket, text.data() + sent, static_cast<int>(text.size() - sent), 0);
      if (n <= 0) return false;
      sent += static_cast<size_t>(n);
    }
    return true;
  }

  // Serves one request of the connection; false when the connection ends.
  bool serveOne(SOCKET socket, std::string& pending, int connection) {
    char buffer[4096];
    size_t headEnd;
    while ((headEnd = pending.find("\r\n\r\n")) == std::string::npos) {
      if (!readable(socket)) return false;
      int n = recv(socket, buffer, sizeof buffer, 0);
      if (n <= 0) return false;
      pending.append(buffer, static_cast<size_t>(n));
    }
    std::string head = pending.substr(0, headEnd + 2);
    size_t length = std::strtoul(headerValue(head, "Content-Length").c_str(), nullptr, 10);
    while (pending.size() < headEnd + 4 + length) {
      if (!readable(socket)) return false;
      int n = recv(socket, buffer, sizeof buffer, 0);
      if (n <= 0) return false;
      pending.append(buffer, static_cast<size_t>(n));
    }
    ReceivedRequest request;
    size_t pathStart = head.find(' ') + 1;
    request.path = head.substr(pathStart, head.find(' ', pathStart) - pathStart);
    request.body = pending.substr(headEnd + 4, length);
    request.contentType = headerValue(head, "Content-Type", &request.contentTypes);
    request.client = headerValue(head, "X-Client");
    request.connection = connection;
    pending.erase(0, headEnd + 4 + length);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      received_.push_back(request);
    }
    int status = 200;
    std::string body = "{\"reply\":\"" + request.body + "\"}";
    if (request.path == "/drop.php") return false;
    if (request.path == "/api/connector.php") status = 201, body = "prefixed";
    if (request.path == "/broken.php") status = 500, body = "service error";
    if (request.path == "/last.php") body = "last";
    std::string reply = "HTTP/1.1 " + std::to_string(status) + " X\r\nContent-Length: " + std::to_string(body.size()) +
                        "\r\nContent-Type: text/plain\r\n\r\n" + body;
    return sendAll(socket, reply) && request.path != "/last.php";
  }

  void serve() {
    int connections = 0;
    while (readable(listener_)) {
      SOCKET socket = accept(listener_, nullptr, nullptr);
      if (socket == INVALID_SOCKET) return;
      connections += 1;
      std::string pending;
      while (serveOne(socket, pending, connections)) {
      }
      closesocket(socket);
    }
  }

  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
  std::mutex mutex_;
  std::vector<ReceivedRequest> received_;
};

class WindowsHttpClient : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.start());
    setServiceBaseUrl(server_.base());
  }
  void TearDown() override {
    resetHttpClient();  // closes the kept connection, so the server's wait ends
    setServiceBaseUrl("");
    server_.stop();
  }
  LoopbackServer server_;
};

TEST_F(WindowsHttpClient, PostReachesTheServiceWithItsHeadersAndBody) {
  std::string reply;
  EXPECT_EQ(httpPost("api.example.invalid", "connector.php", kFormHeaders, "token=abc&method=x", reply), 200);
  EXPECT_EQ(reply, "{\"reply\":\"token=abc&method=x\"}");
  std::vector<ReceivedRequest> received = server_.received();
  ASSERT_EQ(received.size(), 1u);
  EXPECT_EQ(received[0].path, "/connector.php");
  EXPECT_EQ(received[0].body, "token=abc&method=x");
  EXPECT_EQ(received[0].contentType, "application/x-www-form-urlencoded");
  EXPECT_EQ(received[0].contentTypes, 1);
  EXPECT_EQ(received[0].client, "TOMIKS");
}

TEST_F(WindowsHttpClient, BaseAddressPathPrefixAndErrorStatuses) {
  std::string reply = "old";
  setServiceBaseUrl(server_.base() + "/api/");
  EXPECT_EQ(httpPost("ignored", "/connector.php", kFormHeaders, "x=1", reply), 201);
  EXPECT_EQ(reply, "prefixed");
  setServiceBaseUrl(server_.base());
  EXPECT_EQ(httpPost("ignored", "broken.php", kFormHeaders, "x=1", reply), -1);
  EXPECT_EQ(reply, "") << "the body of an error status is not handed on";
  for (const char* unusable :
       {"ftp://127.0.0.1:21", "not an address", "http://127.0.0.1:99999", "http://:80", "http://127.0.0.1:8x"}) {
    setServiceBaseUrl(unusable);
    reply = "old";
    EXPECT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "x=1", reply), -1) << unusable;
    EXPECT_EQ(reply, "") << unusable;
  }
}

TEST_F(WindowsHttpClient, UnreachableServiceFailsAtOnce) {
  LoopbackServer closed;
  ASSERT_TRUE(closed.start());
  std::string address = closed.base();
  closed.stop();
  setServiceBaseUrl(address);
  std::string reply;
  EXPECT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "x=1", reply), -1);
}

TEST_F(WindowsHttpClient, OneConnectionCarriesConsecutiveRequests) {
  std::string reply;
  ASSERT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "page=1", reply), 200);
  ASSERT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "page=2", reply), 200);
  ASSERT_EQ(httpPost("ignored", "broken.php", kFormHeaders, "page=3", reply), -1);
  ASSERT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "page=4", reply), 200);
  std::vector<ReceivedRequest> received = server_.received();
  ASSERT_EQ(received.size(), 4u);
  for (const ReceivedRequest& request : received) EXPECT_EQ(request.connection, 1) << request.body;
}

TEST_F(WindowsHttpClient, ConnectionClosedByTheServerIsOpenedAgain) {
  std::string reply;
  ASSERT_EQ(httpPost("ignored", "last.php", kFormHeaders, "page=1", reply), 200);
  EXPECT_EQ(reply, "last");
  // The connection lies idle, as between two requests of an import, and the
  // server's close reaches the client before the next request.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  ASSERT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "page=2", reply), 200);
  std::vector<ReceivedRequest> received = server_.received();
  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[1].connection, 2);
}

TEST_F(WindowsHttpClient, RequestWhoseConnectionClosedUnansweredIsNotSentAgain) {
  std::string reply;
  ASSERT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "first", reply), 200);
  EXPECT_EQ(httpPost("ignored", "drop.php", kFormHeaders, "status change", reply), -1);
  EXPECT_EQ(reply, "");
  EXPECT_EQ(httpPost("ignored", "connector.php", kFormHeaders, "after", reply), 200);
  std::vector<ReceivedRequest> received = server_.received();
  ASSERT_EQ(received.size(), 3u) << "the dropped request came again";
  EXPECT_EQ(received[1].body, "status change");
  EXPECT_EQ(received[2].body, "after");
}

}  // namespace
