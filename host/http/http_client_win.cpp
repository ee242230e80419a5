// The host's HTTP client on Windows, on top of WinHTTP: one session for the
// current service address whose connections WinHTTP keeps alive between
// requests, with bounded connect and transfer times (see http_client.h).
// Not WinINet: when a kept connection is closed without an answer, WinINet
// sends the POST again on a new one, so a request the service may already
// have carried out (a status change) would be made twice; WinHTTP reports
// the failure, as the host does.
#include "http/http_client.h"

#include <windows.h>
#include <winhttp.h>

#include <cctype>
#include <string>
#include <vector>

namespace standin {
namespace {

constexpr int kConnectMilliseconds = 10 * 1000;
constexpr int kTransferMilliseconds = 60 * 1000;

// Where a request goes: host, port and scheme, and the path prefix (empty or
// "/..." without a trailing slash) put before the plug-in's path.
struct Endpoint {
  std::string host;
  INTERNET_PORT port = 0;
  bool secure = false;
  std::string prefix;

  std::string origin() const { return (secure ? "https://" : "http://") + host + ":" + std::to_string(port); }
};

// The kept session and connection, for one origin.
struct KeptConnection {
  std::string origin;
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
};

std::string& serviceBaseUrl() {
  static std::string url;
  return url;
}

KeptConnection& kept() {
  static KeptConnection connection;
  return connection;
}

std::wstring wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring result(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &result[0], length);
  return result;
}

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
bool splitAuthority(const std::string& authority, Endpoint& endpoint) {
  if (!isHostName(authority)) return false;
  const size_t colon = authority.rfind(':');
  const bool bracketed = authority[0] == '[';
  if (colon == std::string::npos || (bracketed && authority.rfind(']') > colon)) {
    endpoint.host = authority;
    endpoint.port = endpoint.secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    return true;
  }
  const std::string digits = authority.substr(colon + 1);
  if (digits.empty() || digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) return false;
  const long port = std::stol(digits);
  if (port < 1 || port > 65535) return false;
  endpoint.host = authority.substr(0, colon);
  endpoint.port = static_cast<INTERNET_PORT>(port);
  return !endpoint.host.empty();
}

bool endpointFromBase(const std::string& url, Endpoint& endpoint) {
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

bool endpointFor(const std::string& host, Endpoint& endpoint) {
  if (!serviceBaseUrl().empty()) return endpointFromBase(serviceBaseUrl(), endpoint);
  if (!isHostName(host)) return false;
  endpoint.host = host;
  endpoint.secure = true;
  endpoint.port = INTERNET_DEFAULT_HTTPS_PORT;
  endpoint.prefix.clear();
  return true;
}

std::string requestPath(const Endpoint& endpoint, const std::string& path) {
  const size_t start = path.find_first_not_of('/');
  return endpoint.prefix + "/" + (start == std::string::npos ? std::string() : path.substr(start));
}

void closeKept() {
  KeptConnection& connection = kept();
  if (connection.connection != nullptr) WinHttpCloseHandle(connection.connection);
  if (connection.session != nullptr) WinHttpCloseHandle(connection.session);
  connection = KeptConnection{};
}

// The kept connection to the endpoint's origin, opened anew when the origin
// changed; null when it cannot be opened.
HINTERNET connectionFor(const Endpoint& endpoint) {
  KeptConnection& connection = kept();
  if (connection.connection != nullptr && connection.origin == endpoint.origin()) return connection.connection;
  closeKept();
  HINTERNET session = WinHttpOpen(L"TOMIKS", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                  WINHTTP_NO_PROXY_BYPASS, 0);
  if (session == nullptr) return nullptr;
  WinHttpSetTimeouts(session, 0, kConnectMilliseconds, kTransferMilliseconds, kTransferMilliseconds);
  HINTERNET opened = WinHttpConnect(session, wide(endpoint.host).c_str(), endpoint.port, 0);
  if (opened == nullptr) {
    WinHttpCloseHandle(session);
    return nullptr;
  }
  connection.origin = endpoint.origin();
  connection.session = session;
  connection.connection = opened;
  return opened;
}

// Keeps the well-formed "Name: value" lines, each ended by CR LF; lines
// without a name and a colon are dropped, as WinHTTP would refuse them.
std::string cleanHeaderLines(const std::string& lines) {
  std::string clean;
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
    clean += name + ": " + trimBlanks(line.substr(colon + 1)) + "\r\n";
  }
  return clean;
}

bool readBody(HINTERNET request, std::string& body) {
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request, &available)) return false;
    if (available == 0) return true;
    std::vector<char> chunk(available);
    DWORD read = 0;
    if (!WinHttpReadData(request, chunk.data(), available, &read)) return false;
    if (read == 0) return true;
    body.append(chunk.data(), read);
  }
}

int statusOf(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                           &status, &size, WINHTTP_NO_HEADER_INDEX)) {
    return -1;
  }
  return static_cast<int>(status);
}

// One exchange on an opened connection: the HTTP status, or -1 when the
// transport failed.
int exchange(HINTERNET connection, const Endpoint& endpoint, const std::string& path, const std::string& headerLines,
             const std::string& body, std::string& replyBody) {
  HINTERNET request = WinHttpOpenRequest(connection, L"POST", wide(requestPath(endpoint, path)).c_str(), nullptr,
                                         WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                         endpoint.secure ? WINHTTP_FLAG_SECURE : 0);
  if (request == nullptr) return -1;
  const std::wstring headers = wide(cleanHeaderLines(headerLines));
  const DWORD headersLength = headers.empty() ? 0 : static_cast<DWORD>(headers.size());
  const DWORD bodyLength = static_cast<DWORD>(body.size());
  int status = -1;
  if (WinHttpSendRequest(request, headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : headers.c_str(), headersLength,
                         bodyLength != 0 ? const_cast<char*>(body.data()) : WINHTTP_NO_REQUEST_DATA, bodyLength,
                         bodyLength, 0) &&
      WinHttpReceiveResponse(request, nullptr)) {
    status = statusOf(request);
    if (status >= 0 && !readBody(request, replyBody)) status = -1;
  }
  WinHttpCloseHandle(request);
  return status;
}

}  // namespace

void setServiceBaseUrl(const std::string& url) {
  serviceBaseUrl() = url;
  resetHttpClient();
}

int httpPost(const std::string& host, const std::string& path, const std::string& headerLines, const std::string& body,
             std::string& replyBody, int* answeredStatus) {
  replyBody.clear();
  if (answeredStatus != nullptr) *answeredStatus = 0;
  Endpoint endpoint;
  if (!endpointFor(host, endpoint)) return -1;
  HINTERNET connection = connectionFor(endpoint);
  if (connection == nullptr) return -1;
  const int status = exchange(connection, endpoint, path, headerLines, body, replyBody);
  if (answeredStatus != nullptr && status > 0) *answeredStatus = status;
  if (status < 200 || status > 299) {
    if (status < 0) resetHttpClient();
    replyBody.clear();
    return -1;
  }
  return status;
}

void resetHttpClient() { closeKept(); }

}  // namespace standin
