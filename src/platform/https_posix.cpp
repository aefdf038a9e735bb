#include "platform/https.h"

// Only the Windows build talks to the usage service; elsewhere there is never a response.
HttpsResponse HttpsGet(const HttpsRequest&) { return {}; }
