// The requests an import of a shop must make, worked out from the shop's
// orders alone: the page loop with its inclusive date bound and the run's
// skipping of orders met before, status changes and invoice lookups.
#pragma once

#include <map>
#include <string>

// Requests by method for importing every order of statusId whose document
// kind takes orders over (statuses move to another) or not.
std::map<std::string, long> plannedRequests(const std::string& shopText, long statusId, bool takenOver);
