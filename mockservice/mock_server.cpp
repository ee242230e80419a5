// Serving service calls over HTTP, with injected faults.
#include "mock_server.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include <httplib.h>

#include "json_text.h"
#include "method_handlers.h"

namespace mockgate {

namespace {

const char* const kJsonType = "application/json";

int socketPort(const sockaddr_storage& address) {
    if (address.ss_family == AF_INET) return ntohs(reinterpret_cast<const sockaddr_in&>(address).sin_port);
    if (address.ss_family == AF_INET6) return ntohs(reinterpret_cast<const sockaddr_in6&>(address).sin6_port);
    return -1;
}

// Open connected sockets of this process whose own port is localPort and,
// unless peerPort is -1, whose peer port is peerPort. The HTTP library does
// not hand a request handler its connection's socket, so the descriptor is
// found by scanning this process's own open descriptors for those ports.
std::vector<int> connectionSockets(int localPort, int peerPort) {
    std::vector<int> found;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return found;
    while (dirent* entry = readdir(dir)) {
        char* end;
        long fd = std::strtol(entry->d_name, &end, 10);
        if (*end != '\0' || end == entry->d_name) continue;
        sockaddr_storage local{}, peer{};
        socklen_t localSize = sizeof local, peerSize = sizeof peer;
        if (getsockname(int(fd), reinterpret_cast<sockaddr*>(&local), &localSize) != 0) continue;
        if (getpeername(int(fd), reinterpret_cast<sockaddr*>(&peer), &peerSize) != 0) continue;
        if (socketPort(local) == localPort && (peerPort == -1 || socketPort(peer) == peerPort))
            found.push_back(int(fd));
    }
    closedir(dir);
    return found;
}

// Closes the connection before anything is written: the server's own write
// of the reply then fails and it drops the connection.
void dropConnection(const httplib::Request& request, httplib::Response& response) {
    std::vector<int> sockets = connectionSockets(request.local_port, request.remote_port);
    if (!sockets.empty()) {
        shutdown(sockets.front(), SHUT_RDWR);
        return;
    }
    // Not found: cut the reply off after its headers instead.
    response.set_content_provider(1, kJsonType, [](size_t, size_t, httplib::DataSink&) { return false; });
}

// The reply with its "statuses" array in reverse order (as it is when it
// holds none or is no JSON).
std::string reversedStatuses(const std::string& reply) {
    JsonDocument root;
    if (!parseJson(reply, root) || !root.IsObject()) return reply;
    auto statuses = root.FindMember("statuses");
    if (statuses == root.MemberEnd() || !statuses->value.IsArray()) return reply;
    rapidjson::Value& list = statuses->value;
    for (rapidjson::SizeType i = 0, j = list.Size(); i + 1 < j; ++i, --j) list[i].Swap(list[j - 1]);
    rapidjson::StringBuffer text;
    JsonWriter writer(text);
    root.Accept(writer);
    return text.GetString();
}

const FaultRule* firstFailure(const std::vector<FaultRule>& hits) {
    for (const FaultRule& hit : hits)
        if (hit.kind != FaultKind::Slow) return &hit;
    return nullptr;
}

}  // namespace

void closeClientConnections(int port) {
    for (int fd : connectionSockets(port, -1)) shutdown(fd, SHUT_RDWR);
}

void MockService::attach(httplib::Server& server) {
    server.new_task_queue = [] { return new httplib::ThreadPool(16); };
    server.set_keep_alive_max_count(100000);
    // Headers and body go out in separate writes; without this a kept-alive
    // connection waits for the client's delayed acknowledgement every time.
    server.set_tcp_nodelay(true);
    // Address reuse only: a second mockgate on a port in use must fail
    // rather than share the port.
    server.set_socket_options([](int sock) {
        int yes = 1;
        setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    server.Post("/connector.php",
                [this](const httplib::Request& request, httplib::Response& response) { handle(request, response); });
}

std::string MockService::answer(const ServiceCall& call) {
    std::lock_guard<std::mutex> lock(mutex_);
    return handleServiceCall(shop_, call);
}

void MockService::handle(const httplib::Request& request, httplib::Response& response) {
    ServiceCall call = decodeServiceCall(request.body);
    std::vector<FaultRule> hits;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        log_.record(call, request.body);
        if (call.hasMethod) hits = faults_.nextCall(call.method);
    }
    for (const FaultRule& hit : hits)
        if (hit.kind == FaultKind::Slow) std::this_thread::sleep_for(std::chrono::milliseconds(hit.slowMs));

    // A failure stands in for the call (nothing is changed), except a cut or
    // reordered reply, which the service produced in full beforehand.
    const FaultRule* failure = firstFailure(hits);
    if (!failure) {
        response.set_content(answer(call), kJsonType);
        return;
    }
    switch (failure->kind) {
        case FaultKind::Http500:
            response.status = 500;
            response.set_content("Internal Server Error", "text/plain");
            break;
        case FaultKind::Drop:
            dropConnection(request, response);
            break;
        case FaultKind::Garbage:
            response.set_content("<html><body>Service temporarily unavailable</body></html>", "text/html");
            break;
        case FaultKind::Truncated: {
            std::string reply = answer(call);
            response.set_content(reply.substr(0, reply.size() / 2), kJsonType);
            break;
        }
        case FaultKind::Error:
            response.set_content(errorReply("ERROR_FAULT_INJECTED", "Injected fault"), kJsonType);
            break;
        case FaultKind::Http429:
            response.status = 429;
            response.set_content("Too Many Requests", "text/plain");
            break;
        case FaultKind::Reordered:
            response.set_content(reversedStatuses(answer(call)), kJsonType);
            break;
        case FaultKind::Slow:
            break;
    }
}

}  // namespace mockgate
