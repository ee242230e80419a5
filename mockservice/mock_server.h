// The HTTP side of mockgate: POST /connector.php on 127.0.0.1, each call
// logged, checked against the fault plan and answered from the shop.
#pragma once

#include <mutex>
#include <string>

#include "faults.h"
#include "request_log.h"
#include "shop.h"

namespace httplib {
class Server;
struct Request;
struct Response;
}  // namespace httplib

namespace mockgate {

class MockService {
public:
    MockService(Shop& shop, FaultPlan& faults, RequestLog& log) : shop_(shop), faults_(faults), log_(log) {}

    // Registers the endpoint and the connection settings on the server.
    void attach(httplib::Server& server);
    void handle(const httplib::Request& request, httplib::Response& response);

    // Runs f with the shop while no call is being answered.
    template <class F>
    void withShop(F f) {
        std::lock_guard<std::mutex> lock(mutex_);
        f(shop_);
    }

private:
    std::string answer(const ServiceCall& call);

    Shop& shop_;
    FaultPlan& faults_;
    RequestLog& log_;
    std::mutex mutex_;  // guards the shop, the fault counters and the log
};

// Shuts down every accepted connection on port, so that workers waiting on
// idle kept-alive connections end at once when the server stops.
void closeClientConnections(int port);

}  // namespace mockgate
