// The request log: one JSON line per service call with the method, the
// parsed parameters and the raw body, flushed at once so that a test can
// read it while mockgate runs.
#pragma once

#include <cstdio>
#include <string>

#include "form_decoding.h"

namespace mockgate {

// {"method": M, "parameters": P, "body": B} with M null when no method was
// sent and P null when no parameters object was sent or it did not parse.
std::string requestLogLine(const ServiceCall& call, const std::string& body);

class RequestLog {
public:
    RequestLog() = default;
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;
    ~RequestLog();

    // Starts an empty log file.
    bool open(const std::string& path, std::string& error);
    // Appends one line; does nothing when no log is open.
    void record(const ServiceCall& call, const std::string& body);

private:
    std::FILE* file_ = nullptr;
};

}  // namespace mockgate
