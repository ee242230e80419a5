// The floor of the import benchmark: the import's exact requests sent again
// to a fresh mockgate by a minimal kept-alive HTTP client, with nothing of
// the plug-in or the host stand-in in between.
#pragma once

#include <string>
#include <vector>

// The form bodies of the requests in the order mockgate logged them, taken
// from its request log lines; false when a line holds no body.
bool loggedBodies(const std::vector<std::string>& logLines, std::vector<std::string>& bodies);

// POSTs every body in turn to /connector.php on 127.0.0.1:port over one
// kept-alive connection and reads each reply in full. False (with the reason
// in error) when the connection fails or a reply is not a 200 with a length.
bool replayRequests(int port, const std::vector<std::string>& bodies, std::string& error);
