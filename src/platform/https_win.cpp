#include <windows.h>
#include <winhttp.h>

#include "platform/https.h"

namespace {

class Internet {
public:
    explicit Internet(HINTERNET handle) : handle_(handle) {}
    ~Internet() {
        if (handle_) WinHttpCloseHandle(handle_);
    }
    Internet(const Internet&) = delete;
    Internet& operator=(const Internet&) = delete;
    operator HINTERNET() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }

private:
    HINTERNET handle_;
};

// False when the body is longer than `maxBytes`: such a reply is no answer to keep.
bool ReadBody(HINTERNET request, size_t maxBytes, std::string& body) {
    while (true) {
        DWORD available = 0;
        if (!WinHttpQueryDataAvailable(request, &available) || available == 0) {
            return true;
        }
        const size_t old = body.size();
        if (available > maxBytes - old) {
            return false;
        }
        body.resize(old + available);
        DWORD read = 0;
        if (!WinHttpReadData(request, body.data() + old, available, &read)) {
            body.resize(old);
            return true;
        }
        body.resize(old + read);
    }
}

}  // namespace

HttpsResponse HttpsGet(const HttpsRequest& request) {
    HttpsResponse response;
    Internet session(WinHttpOpen(request.userAgent.c_str(), WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                 WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) {
        return response;
    }
    WinHttpSetTimeouts(session, request.resolveTimeoutMs, request.connectTimeoutMs,
                       request.sendTimeoutMs, request.receiveTimeoutMs);
    Internet connection(WinHttpConnect(session, request.host.c_str(), request.port, 0));
    if (!connection) {
        return response;
    }
    Internet handle(WinHttpOpenRequest(connection, L"GET", request.path.c_str(), nullptr,
                                       WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                       WINHTTP_FLAG_SECURE));
    if (!handle) {
        return response;
    }
    // Windows honours the session timeouts; Wine only the receive-response option. Setting
    // every one on the request as well bounds a silent server on both.
    WinHttpSetTimeouts(handle, request.resolveTimeoutMs, request.connectTimeoutMs,
                       request.sendTimeoutMs, request.receiveTimeoutMs);
    DWORD receiveResponseMs = static_cast<DWORD>(request.receiveTimeoutMs);
    WinHttpSetOption(handle, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &receiveResponseMs,
                     sizeof receiveResponseMs);

    const DWORD headersLength = static_cast<DWORD>(request.headers.size());
    if (!WinHttpSendRequest(handle, request.headers.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS
                                                            : request.headers.c_str(),
                            headersLength, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
        !WinHttpReceiveResponse(handle, nullptr)) {
        return response;
    }
    response.responded = true;
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (WinHttpQueryHeaders(handle, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                            WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                            WINHTTP_NO_HEADER_INDEX)) {
        response.status = status;
    }
    if (!ReadBody(handle, request.maxBodyBytes, response.body)) {
        return {};
    }
    return response;
}
