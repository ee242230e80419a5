// Replaying logged requests over one kept-alive connection (see request_replay.h).
#include "request_replay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "json/json.h"

namespace {

struct Connection {
  int fd = -1;
  std::string pending;  // bytes read past the end of the last reply
  ~Connection() {
    if (fd >= 0) close(fd);
  }
};

bool connectTo(int port, Connection& connection) {
  connection.fd = socket(AF_INET, SOCK_STREAM, 0);
  if (connection.fd < 0) return false;
  int yes = 1;
  setsockopt(connection.fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return connect(connection.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

bool sendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

bool readMore(Connection& connection) {
  char buffer[65536];
  ssize_t n = recv(connection.fd, buffer, sizeof buffer, 0);
  if (n <= 0) return false;
  connection.pending.append(buffer, static_cast<size_t>(n));
  return true;
}

// The value of the Content-Length header in the header block, or -1.
long contentLength(const std::string& head) {
  size_t at = 0;
  while ((at = head.find("\r\n", at)) != std::string::npos) {
    at += 2;
    if (strncasecmp(head.c_str() + at, "Content-Length:", 15) == 0) return std::atol(head.c_str() + at + 15);
  }
  return -1;
}

bool readReply(Connection& connection, std::string& error) {
  size_t headEnd;
  while ((headEnd = connection.pending.find("\r\n\r\n")) == std::string::npos) {
    if (!readMore(connection)) {
      error = "connection closed before a reply";
      return false;
    }
  }
  std::string head = connection.pending.substr(0, headEnd);
  long length = contentLength(head);
  if (head.compare(0, 12, "HTTP/1.1 200") != 0 || length < 0) {
    error = "unexpected reply: " + head.substr(0, head.find("\r\n"));
    return false;
  }
  size_t total = headEnd + 4 + static_cast<size_t>(length);
  while (connection.pending.size() < total) {
    if (!readMore(connection)) {
      error = "connection closed inside a reply";
      return false;
    }
  }
  connection.pending.erase(0, total);
  return true;
}

}  // namespace

bool loggedBodies(const std::vector<std::string>& logLines, std::vector<std::string>& bodies) {
  bodies.clear();
  for (const std::string& line : logLines) {
    JsonValue* entry = jsonParse(line.c_str());
    const char* body = jsonObjectString(jsonValueObject(entry), "body");
    if (body != nullptr) bodies.emplace_back(body);
    jsonFree(entry);
    if (body == nullptr) return false;
  }
  return true;
}

bool replayRequests(int port, const std::vector<std::string>& bodies, std::string& error) {
  Connection connection;
  if (!connectTo(port, connection)) {
    error = "cannot connect to mockgate";
    return false;
  }
  const std::string head = "POST /connector.php HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(port) +
                           "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: ";
  std::string request;
  for (const std::string& body : bodies) {
    request = head + std::to_string(body.size()) + "\r\n\r\n" + body;
    if (!sendAll(connection.fd, request)) {
      error = "cannot send a request";
      return false;
    }
    if (!readReply(connection, error)) return false;
  }
  return true;
}
