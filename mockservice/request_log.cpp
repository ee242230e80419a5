// Writing of the request log.
#include "request_log.h"

namespace mockgate {

std::string requestLogLine(const ServiceCall& call, const std::string& body) {
    return "{\"method\": " + (call.hasMethod ? jsonString(call.method) : "null") +
           ", \"parameters\": " + (call.parametersValid ? compactJson(call.parametersText) : "null") +
           ", \"body\": " + jsonString(body) + "}";
}

RequestLog::~RequestLog() {
    if (file_) std::fclose(file_);
}

bool RequestLog::open(const std::string& path, std::string& error) {
    file_ = std::fopen(path.c_str(), "wb");
    if (!file_) {
        error = "cannot open log " + path;
        return false;
    }
    return true;
}

void RequestLog::record(const ServiceCall& call, const std::string& body) {
    if (!file_) return;
    std::string line = requestLogLine(call, body);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

}  // namespace mockgate
