// The service endpoint of service_endpoint.h.
#include "http/service_endpoint.h"

#include <cctype>

namespace standin {
namespace {

std::string trimBlanks(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t");
  if (begin == std::string::npos) return std::string();
  const size_t end = text.find_last_not_of(" \t");
  return text.substr(begin, end - begin + 1);
}

std::string lowerCase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool isHostName(const std::string& host) {
  if (host.empty()) return false;
  for (const char c : host) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= ' ' || byte >= 0x7F || c == '/' || c == '?' || c == '#' || c == '@') return false;
  }
  return true;
}

// "host[:port]" into the endpoint; the scheme's port when none is given.
bool splitAuthority(const std::string& authority, ServiceEndpoint& endpoint) {
  if (!isHostName(authority)) return false;
  const size_t colon = authority.rfind(':');
  const bool bracketed = authority[0] == '[';
  if (colon == std::string::npos || (bracketed && authority.rfind(']') > colon)) {
    endpoint.host = authority;
    endpoint.port = endpoint.secure ? 443 : 80;
    return true;
  }
  const std::string digits = authority.substr(colon + 1);
  if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
  const long port = std::stol(digits);
  if (port < 1 || port > 65535) return false;
  endpoint.host = authority.substr(0, colon);
  endpoint.port = static_cast<uint16_t>(port);
  return !endpoint.host.empty();
}

bool endpointFromBase(const std::string& url, ServiceEndpoint& endpoint) {
  const size_t separator = url.find("://");
  if (separator == std::string::npos) return false;
  const std::string scheme = lowerCase(url.substr(0, separator));
  if (scheme != "http" && scheme != "https") return false;
  endpoint.secure = scheme == "https";
  const size_t authorityStart = separator + 3;
  const size_t slash = url.find('/', authorityStart);
  if (!splitAuthority(url.substr(authorityStart, slash - authorityStart), endpoint)) return false;
  endpoint.prefix = slash == std::string::npos ? std::string() : url.substr(slash);
  while (!endpoint.prefix.empty() && endpoint.prefix.back() == '/') endpoint.prefix.pop_back();
  return true;
}

}  // namespace

std::string& serviceBaseUrl() {
  static std::string url;
  return url;
}

bool endpointFor(const std::string& pluginHost, ServiceEndpoint& endpoint) {
  endpoint = ServiceEndpoint{};
  if (!serviceBaseUrl().empty()) return endpointFromBase(serviceBaseUrl(), endpoint);
  if (!isHostName(pluginHost)) return false;
  endpoint.host = pluginHost;
  endpoint.secure = true;
  endpoint.port = 443;
  return true;
}

std::string requestPath(const ServiceEndpoint& endpoint, const std::string& path) {
  const size_t start = path.find_first_not_of('/');
  return endpoint.prefix + "/" + (start == std::string::npos ? std::string() : path.substr(start));
}

std::vector<std::pair<std::string, std::string>> cleanHeaderLines(const std::string& lines) {
  std::vector<std::pair<std::string, std::string>> headers;
  size_t pos = 0;
  while (pos < lines.size()) {
    size_t end = lines.find('\n', pos);
    if (end == std::string::npos) end = lines.size();
    std::string line = lines.substr(pos, end - pos);
    pos = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string name = trimBlanks(line.substr(0, colon));
    if (name.empty() || name.find_first_of(" \t\r") != std::string::npos) continue;
    headers.emplace_back(name, trimBlanks(line.substr(colon + 1)));
  }
  return headers;
}

}  // namespace standin
