#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// One HTTPS GET. Timeouts are in milliseconds.
struct HttpsRequest {
    std::wstring host;
    uint16_t port = 443;
    std::wstring path;
    std::wstring userAgent;
    std::wstring headers;  // extra header lines, each ending in "\r\n"
    int resolveTimeoutMs = 5000;
    int connectTimeoutMs = 5000;
    int sendTimeoutMs = 8000;
    int receiveTimeoutMs = 8000;
    size_t maxBodyBytes = 1 << 20;  // a longer body counts as no response at all
};

struct HttpsResponse {
    bool responded = false;  // false: no answer (any failure before a status arrived)
    uint32_t status = 0;     // 0 when the status could not be read
    std::string body;
};

// Sends the request synchronously on the calling thread. Never longer than the timeouts allow.
HttpsResponse HttpsGet(const HttpsRequest& request);
