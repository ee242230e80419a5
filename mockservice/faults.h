// Injected faults for reliability tests: "--fault METHOD:N:KIND" makes the
// Nth call (counted from 1) of METHOD fail in the way KIND names;
// "METHOD:N+:KIND" every call from the Nth on (a service gone down).
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace mockgate {

enum class FaultKind {
    Http500,    // HTTP 500 with a short text body
    Drop,       // the connection is closed without any reply
    Garbage,    // HTTP 200 with a body that is not JSON
    Truncated,  // HTTP 200 with the first half of the real reply
    Slow,       // the real reply after a delay of slowMs milliseconds
    Error,      // HTTP 200 with a status ERROR reply
    Http429,    // HTTP 429 (too many requests) with a short text body
    Reordered,  // the real reply with its "statuses" array in reverse order
};

struct FaultRule {
    std::string method;
    long long call = 0;
    bool onward = false;  // every call from `call` on
    FaultKind kind = FaultKind::Error;
    int slowMs = 0;
};

// Parses "METHOD:N:KIND" or "METHOD:N+:KIND", KIND one of http500, http429,
// drop, garbage, truncated, error, reordered or slow:MS.
bool parseFaultRule(const std::string& text, FaultRule& out, std::string& error);

class FaultPlan {
public:
    void add(const FaultRule& rule) { rules_.push_back(rule); }
    // Counts one call of method and returns the faults set for it, in the
    // order they were given.
    std::vector<FaultRule> nextCall(const std::string& method);

private:
    std::vector<FaultRule> rules_;
    std::unordered_map<std::string, long long> calls_;
};

}  // namespace mockgate
