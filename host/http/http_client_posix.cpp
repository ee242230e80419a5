// The host's HTTP client on top of cpp-httplib: one kept-alive client for the current
// service address, with bounded connect and transfer times.
// (Windows builds get their own client; this file is for the other platforms.)
#ifndef _WIN32

#include "http/http_client.h"

#include <httplib.h>

#include <cctype>
#include <exception>
#include <memory>
#include <utility>

namespace standin {
namespace {

constexpr time_t kConnectSeconds = 10;
constexpr time_t kTransferSeconds = 60;

// Where a request goes: "scheme://authority" for the client, and the path prefix
// (empty or "/..." without a trailing slash) put before the plug-in's path.
struct Endpoint {
    std::string origin;
    std::string prefix;
};

struct KeptClient {
    std::string origin;
    std::unique_ptr<httplib::Client> client;
};

std::string& serviceBaseUrl() {
    static std::string url;
    return url;
}

KeptClient& keptClient() {
    static KeptClient kept;
    return kept;
}

std::string trimBlanks(const std::string& text) {
    const size_t begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos) return std::string();
    const size_t end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

bool sameLetters(const std::string& a, const char* b) {
    if (a.size() != std::char_traits<char>::length(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool isHostName(const std::string& host) {
    if (host.empty()) return false;
    for (const char c : host) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte <= ' ' || byte >= 0x7F || c == '/' || c == '?' || c == '#' || c == '@') {
            return false;
        }
    }
    return true;
}

bool endpointFromBase(const std::string& url, Endpoint& endpoint) {
    const size_t separator = url.find("://");
    if (separator == std::string::npos) return false;
    const std::string scheme = url.substr(0, separator);
    if (!sameLetters(scheme, "http") && !sameLetters(scheme, "https")) return false;
    const size_t authorityStart = separator + 3;
    const size_t slash = url.find('/', authorityStart);
    const std::string authority = url.substr(authorityStart, slash - authorityStart);
    if (!isHostName(authority)) return false;
    endpoint.origin = url.substr(0, authorityStart) + authority;
    endpoint.prefix = slash == std::string::npos ? std::string() : url.substr(slash);
    while (!endpoint.prefix.empty() && endpoint.prefix.back() == '/') endpoint.prefix.pop_back();
    return true;
}

bool endpointFor(const std::string& host, Endpoint& endpoint) {
    if (!serviceBaseUrl().empty()) return endpointFromBase(serviceBaseUrl(), endpoint);
    if (!isHostName(host)) return false;
    endpoint.origin = "https://" + host;
    endpoint.prefix.clear();
    return true;
}

std::string requestPath(const Endpoint& endpoint, const std::string& path) {
    const size_t start = path.find_first_not_of('/');
    return endpoint.prefix + "/" + (start == std::string::npos ? std::string() : path.substr(start));
}

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

// Splits "Name: value\r\n" lines into headers; the content type is set apart because
// the client sends it with the body. Lines without a name and a colon are skipped.
void parseHeaderLines(const std::string& lines, httplib::Headers& headers,
                      std::string& contentType) {
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
        const std::string value = trimBlanks(line.substr(colon + 1));
        if (name.empty() || name.find_first_of(" \t\r") != std::string::npos) continue;
        if (sameLetters(name, "Content-Type")) {
            contentType = value;
        } else {
            headers.emplace(name, value);
        }
    }
}

int sendPost(const std::string& host, const std::string& path, const std::string& headerLines,
             const std::string& body, std::string& replyBody, int& answeredStatus) {
    Endpoint endpoint;
    if (!endpointFor(host, endpoint)) return -1;
    httplib::Client* client = clientFor(endpoint.origin);
    if (client == nullptr) return -1;
    httplib::Headers headers;
    std::string contentType;
    parseHeaderLines(headerLines, headers, contentType);
    httplib::Result result = client->Post(requestPath(endpoint, path), headers, body, contentType);
    if (result) answeredStatus = result->status;
    if (!result || result->status < 200 || result->status > 299) return -1;
    replyBody = std::move(result->body);
    return result->status;
}

}  // namespace

void setServiceBaseUrl(const std::string& url) {
    serviceBaseUrl() = url;
    resetHttpClient();
}

int httpPost(const std::string& host, const std::string& path, const std::string& headerLines,
             const std::string& body, std::string& replyBody, int* answeredStatus) {
    replyBody.clear();
    int answered = 0;
    if (answeredStatus != nullptr) *answeredStatus = 0;
    try {
        int status = sendPost(host, path, headerLines, body, replyBody, answered);
        if (answeredStatus != nullptr) *answeredStatus = answered;
        return status;
    } catch (const std::exception&) {
        // An address the client refuses (it throws for unknown schemes) or no memory.
        resetHttpClient();
        replyBody.clear();
        return -1;
    }
}

void resetHttpClient() {
    keptClient().client.reset();
    keptClient().origin.clear();
}

}  // namespace standin

#endif  // _WIN32
