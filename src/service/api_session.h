// One conversation with the order service: endpoint, API key and the two
// reply files named to the host's HTTP function, filled for one operation.
#pragma once

struct ApiSession {
  char host[50];
  char path[50];
  char apiKey[300];
  char replyFile[200];
  char invoiceReplyFile[200];
  bool keyPromptCancelled;  // the user cancelled the key prompt of this session
};

// Fills every field; asks the user for the API key when "marketgate.ini"
// holds none, and saves what the user confirms.
void openApiSession(ApiSession& session);

// Asks the user for the API key (the prompt of a missing key, with an empty
// field); true when the user confirmed, and the key is then saved. A
// session whose prompt was cancelled asks no more: false at once.
bool askForKey(ApiSession& session);
