#include "platform/https.h"

#include <gtest/gtest.h>

#include <chrono>

namespace {

TEST(HttpsGet, AClosedPortIsNoResponseAndQuick) {
    HttpsRequest request;
    request.host = L"localhost";
    request.port = 9;  // discard: nothing listens here
    request.path = L"/api/oauth/usage";
    request.userAgent = L"Tidewell/1.2";
    const auto started = std::chrono::steady_clock::now();
    const HttpsResponse response = HttpsGet(request);
    EXPECT_FALSE(response.responded);
    EXPECT_EQ(response.status, 0u);
    EXPECT_TRUE(response.body.empty());
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(12));
}

}  // namespace
