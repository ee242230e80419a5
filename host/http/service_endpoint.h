// Where the host's HTTP function sends a request, shared by the POSIX and the
// Windows client: the service's base address (or the plug-in's host name) read
// into scheme, host, port and path prefix, and the plug-in's header lines cleaned.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace standin {

struct ServiceEndpoint {
  bool secure = false;
  std::string host;    // as written, an IPv6 address in its brackets
  uint16_t port = 0;   // the scheme's port when the address names none
  std::string prefix;  // empty or "/..." without a trailing slash

  std::string origin() const { return (secure ? "https://" : "http://") + host + ":" + std::to_string(port); }
};

// The base address set with setServiceBaseUrl; empty: "https://<host>/".
std::string& serviceBaseUrl();

// The endpoint of a request to the plug-in's host name, or to the base address
// when one is set; false when the address cannot be used.
bool endpointFor(const std::string& pluginHost, ServiceEndpoint& endpoint);

// The plug-in's path below the endpoint's prefix.
std::string requestPath(const ServiceEndpoint& endpoint, const std::string& path);

// The well-formed "Name: value" lines of the plug-in's header lines, names
// and values trimmed; lines without a name and a colon are dropped.
std::vector<std::pair<std::string, std::string>> cleanHeaderLines(const std::string& lines);

}  // namespace standin
