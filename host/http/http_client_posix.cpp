// The host's HTTP client on POSIX systems, on top of cpp-httplib: one
// kept-alive client for the current service address, with bounded connect
// and transfer times, a total time limit per request and a cap on the reply.
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "http/http_client.h"
#include "http/service_endpoint.h"

namespace standin {
namespace {

constexpr time_t kConnectSeconds = 10;
constexpr time_t kTransferSeconds = 60;

struct Limits {
  long totalSeconds = kDefaultRequestSeconds;
  size_t replyBytes = kDefaultReplyBytes;
};

Limits& limits() {
  static Limits kept;
  return kept;
}

struct KeptClient {
  std::string origin;
  std::unique_ptr<httplib::Client> client;
};

KeptClient& keptClient() {
  static KeptClient kept;
  return kept;
}

// Stops the request in flight when its total time is up: the client's own
// time-outs bound only the wait for each next byte, so a service sending one
// byte a second would hold a request for ever. One thread for all requests,
// started with the first; the client library stops a request from another
// thread by shutting its socket down.
class RequestWatch {
 public:
  static RequestWatch& instance() {
    static RequestWatch* watch = new RequestWatch;  // its thread outlives every static
    return *watch;
  }

  void begin(httplib::Client* client, std::chrono::steady_clock::time_point deadline) {
    std::lock_guard<std::mutex> hold(lock_);
    client_ = client;
    deadline_ = deadline;
    expired_ = false;
    if (!started_) {
      started_ = true;
      std::thread([this] { run(); }).detach();
    }
    wake_.notify_one();
  }

  // Ends the watch of the request; true when its time ran out.
  bool end() {
    std::lock_guard<std::mutex> hold(lock_);
    client_ = nullptr;
    return expired_;
  }

 private:
  void run() {
    std::unique_lock<std::mutex> hold(lock_);
    for (;;) {
      if (client_ == nullptr) {
        wake_.wait(hold);
      } else if (wake_.wait_until(hold, deadline_) == std::cv_status::timeout && client_ != nullptr &&
                 std::chrono::steady_clock::now() >= deadline_) {
        expired_ = true;
        client_->stop();
        client_ = nullptr;
      }
    }
  }

  std::mutex lock_;
  std::condition_variable wake_;
  httplib::Client* client_ = nullptr;
  std::chrono::steady_clock::time_point deadline_;
  bool expired_ = false;
  bool started_ = false;
};

// The kept client for origin, made anew when the origin changed; null when the
// address cannot be used.
httplib::Client* clientFor(const std::string& origin) {
  KeptClient& kept = keptClient();
  if (kept.client && kept.origin == origin) return kept.client.get();
  kept.client.reset();
  auto client = std::make_unique<httplib::Client>(origin);
  if (!client->is_valid()) return nullptr;
  client->set_connection_timeout(kConnectSeconds, 0);
  client->set_read_timeout(kTransferSeconds, 0);
  client->set_write_timeout(kTransferSeconds, 0);
  client->set_keep_alive(true);
  // Header and body leave in separate writes: without this each request
  // would wait for the server's delayed acknowledgement.
  client->set_tcp_nodelay(true);
  kept.origin = origin;
  kept.client = std::move(client);
  return kept.client.get();
}

int sendPost(const std::string& host, const std::string& path, const std::string& headerLines, const std::string& body,
             std::string& replyBody, int& answeredStatus) {
  ServiceEndpoint endpoint;
  if (!endpointFor(host, endpoint)) return -1;
  httplib::Client* client = clientFor(endpoint.origin());
  if (client == nullptr) return -1;
  httplib::Request request;
  request.method = "POST";
  request.path = requestPath(endpoint, path);
  for (auto& [name, value] : cleanHeaderLines(headerLines)) request.headers.emplace(name, value);
  request.body = body;
  bool tooLarge = false;
  const size_t cap = limits().replyBytes;
  request.content_receiver = [&replyBody, &tooLarge, cap](const char* data, size_t length, uint64_t, uint64_t) {
    if (length > cap - replyBody.size()) {
      tooLarge = true;
      return false;
    }
    replyBody.append(data, length);
    return true;
  };
  RequestWatch::instance().begin(client,
                                 std::chrono::steady_clock::now() + std::chrono::seconds(limits().totalSeconds));
  httplib::Result result = client->send(request);
  const bool expired = RequestWatch::instance().end();
  if (result) answeredStatus = result->status;
  if (!result || expired || tooLarge) {
    // The connection may hold the rest of an unread reply.
    resetHttpClient();
    return -1;
  }
  if (result->status < 200 || result->status > 299) return -1;
  return result->status;
}

}  // namespace

void setServiceBaseUrl(const std::string& url) {
  serviceBaseUrl() = url;
  resetHttpClient();
}

void setRequestLimits(long totalSeconds, size_t replyBytes) {
  limits().totalSeconds = totalSeconds > 0 ? totalSeconds : kDefaultRequestSeconds;
  limits().replyBytes = replyBytes > 0 ? replyBytes : kDefaultReplyBytes;
}

int httpPost(const std::string& host, const std::string& path, const std::string& headerLines, const std::string& body,
             std::string& replyBody, int* answeredStatus) {
  replyBody.clear();
  int answered = 0;
  if (answeredStatus != nullptr) *answeredStatus = 0;
  int status = -1;
  try {
    status = sendPost(host, path, headerLines, body, replyBody, answered);
  } catch (const std::exception&) {
    // An address the client refuses (it throws for unknown schemes) or no memory.
    resetHttpClient();
  }
  if (answeredStatus != nullptr) *answeredStatus = answered;
  if (status < 0) replyBody.clear();
  return status;
}

void resetHttpClient() {
  keptClient().client.reset();
  keptClient().origin.clear();
}

}  // namespace standin
