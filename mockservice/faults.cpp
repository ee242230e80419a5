// Parsing and counting of injected faults.
#include "faults.h"

#include <cerrno>
#include <cstdlib>

namespace mockgate {

namespace {

bool parsePositive(const std::string& text, long long max, long long& out) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
    errno = 0;
    out = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && out >= 1 && out <= max;
}

bool parseKind(const std::string& text, FaultRule& out) {
    static const struct {
        const char* name;
        FaultKind kind;
    } kinds[] = {
        {"http500", FaultKind::Http500},     {"drop", FaultKind::Drop},   {"garbage", FaultKind::Garbage},
        {"truncated", FaultKind::Truncated}, {"error", FaultKind::Error}, {"http429", FaultKind::Http429},
        {"reordered", FaultKind::Reordered},
    };
    for (const auto& k : kinds) {
        if (text == k.name) {
            out.kind = k.kind;
            return true;
        }
    }
    long long ms;
    if (text.compare(0, 5, "slow:") == 0 && parsePositive(text.substr(5), 600000, ms)) {
        out.kind = FaultKind::Slow;
        out.slowMs = static_cast<int>(ms);
        return true;
    }
    return false;
}

}  // namespace

bool parseFaultRule(const std::string& text, FaultRule& out, std::string& error) {
    size_t first = text.find(':');
    size_t second = first == std::string::npos ? first : text.find(':', first + 1);
    if (second == std::string::npos) {
        error = "fault \"" + text + "\" is not METHOD:N:KIND";
        return false;
    }
    out = FaultRule();
    out.method = text.substr(0, first);
    if (out.method.empty()) {
        error = "fault \"" + text + "\" names no method";
        return false;
    }
    std::string call = text.substr(first + 1, second - first - 1);
    out.onward = !call.empty() && call.back() == '+';
    if (out.onward) call.pop_back();
    if (!parsePositive(call, 1000000000, out.call)) {
        error = "fault \"" + text + "\" has no call number of 1 or more";
        return false;
    }
    if (!parseKind(text.substr(second + 1), out)) {
        error = "fault \"" + text +
                "\" has an unknown kind (http500, http429, drop, garbage, truncated, slow:MS, error, "
                "reordered)";
        return false;
    }
    return true;
}

std::vector<FaultRule> FaultPlan::nextCall(const std::string& method) {
    long long number = ++calls_[method];
    std::vector<FaultRule> hits;
    for (const FaultRule& rule : rules_)
        if (rule.method == method && (rule.call == number || (rule.onward && number > rule.call))) hits.push_back(rule);
    return hits;
}

}  // namespace mockgate
