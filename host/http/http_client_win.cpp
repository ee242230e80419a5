// The host's HTTP client on Windows, on top of WinHTTP: one session for the
// current service address whose connections WinHTTP keeps alive between
// requests, with bounded connect and transfer times (see http_client.h).
// Not WinINet: when a kept connection is closed without an answer, WinINet
// sends the POST again on a new one, so a request the service may already
// have carried out (a status change) would be made twice; WinHTTP reports
// the failure, as the host does.
#include "http/http_client.h"
#include "http/service_endpoint.h"

#include <windows.h>
#include <winhttp.h>

#include <string>
#include <vector>

namespace standin {
namespace {

constexpr int kConnectMilliseconds = 10 * 1000;
constexpr int kTransferMilliseconds = 60 * 1000;

// The kept session and connection, for one origin.
struct KeptConnection {
  std::string origin;
  HINTERNET session = nullptr;
  HINTERNET connection = nullptr;
};

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

void closeKept() {
  KeptConnection& connection = kept();
  if (connection.connection != nullptr) WinHttpCloseHandle(connection.connection);
  if (connection.session != nullptr) WinHttpCloseHandle(connection.session);
  connection = KeptConnection{};
}

// The kept connection to the endpoint's origin, opened anew when the origin
// changed; null when it cannot be opened.
HINTERNET connectionFor(const ServiceEndpoint& endpoint) {
  KeptConnection& connection = kept();
  if (connection.connection != nullptr && connection.origin == endpoint.origin()) return connection.connection;
  closeKept();
  HINTERNET session =
      WinHttpOpen(L"TOMIKS", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
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

// The plug-in's header lines, each ended by CR LF as WinHTTP takes them.
std::string headerText(const std::string& lines) {
  std::string text;
  for (const auto& [name, value] : cleanHeaderLines(lines)) text += name + ": " + value + "\r\n";
  return text;
}

size_t& replyCap() {
  static size_t cap = kDefaultReplyBytes;
  return cap;
}

// The reply's body; false when the transfer failed or the body is larger
// than the cap.
bool readBody(HINTERNET request, std::string& body) {
  for (;;) {
    DWORD available = 0;
    if (!WinHttpQueryDataAvailable(request, &available)) return false;
    if (available == 0) return true;
    std::vector<char> chunk(available);
    DWORD read = 0;
    if (!WinHttpReadData(request, chunk.data(), available, &read)) return false;
    if (read == 0) return true;
    if (read > replyCap() - body.size()) return false;
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
int exchange(HINTERNET connection, const ServiceEndpoint& endpoint, const std::string& path,
             const std::string& headerLines, const std::string& body, std::string& replyBody) {
  HINTERNET request =
      WinHttpOpenRequest(connection, L"POST", wide(requestPath(endpoint, path)).c_str(), nullptr, WINHTTP_NO_REFERER,
                         WINHTTP_DEFAULT_ACCEPT_TYPES, endpoint.secure ? WINHTTP_FLAG_SECURE : 0);
  if (request == nullptr) return -1;
  const std::wstring headers = wide(headerText(headerLines));
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
  ServiceEndpoint endpoint;
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

void setRequestLimits(long, size_t replyBytes) { replyCap() = replyBytes > 0 ? replyBytes : kDefaultReplyBytes; }

void resetHttpClient() { closeKept(); }

}  // namespace standin
