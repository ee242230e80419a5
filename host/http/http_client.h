// The host's HTTP client: sends the plug-in's POST requests to the order service,
// keeping one connection open between requests.
#pragma once

#include <cstddef>
#include <string>

namespace standin {

// Sends every following request to this base address ("http://127.0.0.1:8123",
// optionally with a path prefix, "http://127.0.0.1:8123/api") instead of the host
// name the plug-in names. An empty text returns to "https://<host>/<path>".
// Drops the kept connection.
void setServiceBaseUrl(const std::string& url);

// POSTs body to path on host (or on the base address set above) with the header
// lines ("Name: value\r\n"...; a Content-Type among them is sent as the body's type).
// Returns the HTTP status when it is 2xx, with the reply in replyBody; -1 on any other
// status, a transport failure (no connection, time-out: 10 s to connect, 60 s to
// read or write) or an unusable address, with replyBody empty.
// The connection to one base address is kept alive between calls. When
// answeredStatus is given it receives the HTTP status of the answer, 0 when
// none came.
int httpPost(const std::string& host, const std::string& path, const std::string& headerLines, const std::string& body,
             std::string& replyBody, int* answeredStatus = nullptr);

// Limits of one request: its total time, from the start of connecting to
// the reply's last byte (POSIX client only; WinHTTP bounds each step), and
// the size of the reply's body. A request beyond either fails as a transport
// failure (-1, no reply). 0 sets a limit back to its default.
constexpr long kDefaultRequestSeconds = 120;
constexpr size_t kDefaultReplyBytes = size_t{64} << 20;
void setRequestLimits(long totalSeconds, size_t replyBytes);

// Closes the kept connection; the next request opens a new one.
void resetHttpClient();

}  // namespace standin
