#pragma once

#include <string>

// Lines shaped like Claude Code's conversation logs, for tests.
struct AssistantReply {
    std::string timestamp = "2025-03-01T10:15:30.123Z";
    std::string messageId = "msg_01ABCDEF";
    std::string requestId = "req_011CQ";
    std::string model = "claude-sonnet-4-20250514";
    double in = 10, out = 20, cacheWrite = 30, cacheRead = 40;
};

inline std::string Number(double value) {
    std::string text = std::to_string(value);
    text.erase(text.find_last_not_of('0') + 1);
    if (text.back() == '.') text.pop_back();
    return text;
}

// One assistant line with a usage object, without its newline.
inline std::string AssistantLine(const AssistantReply& r) {
    return R"({"parentUuid":"4f1c","isSidechain":false,"userType":"external","cwd":"/home/me/app",)"
           R"("sessionId":"9b2e","version":"1.0.51","message":{"id":")" + r.messageId +
           R"(","type":"message","role":"assistant","model":")" + r.model +
           R"(","content":[{"type":"text","text":"Done."}],"stop_reason":"end_turn",)"
           R"("usage":{"input_tokens":)" + Number(r.in) +
           R"(,"cache_creation_input_tokens":)" + Number(r.cacheWrite) +
           R"(,"cache_read_input_tokens":)" + Number(r.cacheRead) +
           R"(,"output_tokens":)" + Number(r.out) +
           R"(,"service_tier":"standard"}},"requestId":")" + r.requestId +
           R"(","type":"assistant","uuid":"77aa","timestamp":")" + r.timestamp + R"("})";
}

// A user line: no usage, much text.
inline std::string UserLine(const std::string& timestamp = "2025-03-01T10:15:00.000Z") {
    return R"({"parentUuid":null,"type":"user","message":{"role":"user","content":"Please fix )"
           R"(the failing test in src/app.cpp"},"uuid":"1a2b","timestamp":")" +
           timestamp + R"("})";
}
