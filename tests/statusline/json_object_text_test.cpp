#include "statusline/json_object_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ReadJsonObjectText, TellsObjectsFromEverythingElse) {
    using K = JsonTextKind;
    struct Case {
        std::string text;
        JsonTextKind kind;
        std::string problem;
    };
    const Case cases[] = {
        {"", K::kBlank, ""},
        {" \r\n\t", K::kBlank, ""},
        {"\xEF\xBB\xBF", K::kBlank, ""},
        {"{}", K::kObject, ""},
        {"\xEF\xBB\xBF{\"a\": 1}\n", K::kObject, ""},
        {R"({"a": [1, -0.5e+3, true, false, null, "x\"\\\/\b\f\n\r\t\u00e9"], "b": {"c": {}}})",
         K::kObject, ""},
        {"[1, 2]", K::kNotObject, ""},
        {"\"statusLine\"", K::kNotObject, ""},
        {"null", K::kNotObject, ""},
        {"{\"a\": 1,}", K::kInvalid, "a trailing comma on line 1"},
        {"{\n  \"a\": [1, 2,\n  ]\n}", K::kInvalid, "a trailing comma on line 3"},
        {"{\"a\": 1", K::kInvalid, "it ends before its last value is complete"},
        {"{\"a\": \"b", K::kInvalid, "it ends before its last value is complete"},
        {"{\"a\": \"b\\", K::kInvalid, "it ends before its last value is complete"},
        {"{\"a\": 1} x", K::kInvalid, "text after the end on line 1"},
        {"{} {}", K::kInvalid, "text after the end on line 1"},
        {"{\"a\": 1 \"b\": 2}", K::kInvalid, "a missing comma or \"}\" on line 1"},
        {"{\"a\" 1}", K::kInvalid, "a missing colon on line 1"},
        {"{a: 1}", K::kInvalid, "a key that is not in quotes on line 1"},
        {"{\n// a comment\n\"a\": 1}", K::kInvalid, "a key that is not in quotes on line 2"},
        {"{\"a\": \"x\ny\"}", K::kInvalid, "a line break inside a string on line 1"},
        {"{\"a\": \"\\x\"}", K::kInvalid, "a bad escape in a string on line 1"},
        {"{\"a\": \"\\u12G4\"}", K::kInvalid, "a bad escape in a string on line 1"},
        {"{\"a\": 01}", K::kInvalid, "a missing comma or \"}\" on line 1"},
        {"{\"a\": 1.}", K::kInvalid, "a bad number on line 1"},
        {"{\"a\": tru}", K::kInvalid, "unexpected text on line 1"},
        {"{\"a\": [1 2]}", K::kInvalid, "a missing comma or \"]\" on line 1"},
        {"garbage", K::kInvalid, "unexpected text on line 1"},
        {"\xEF\xBB{}", K::kInvalid, "unexpected text on line 1"},
        {std::string("{\"a\": 1}\0", 9), K::kInvalid, "text after the end on line 1"},
    };
    for (const Case& c : cases) {
        const JsonObjectText json = ReadJsonObjectText(c.text);
        EXPECT_EQ(json.kind, c.kind) << c.text;
        EXPECT_EQ(json.problem, c.problem) << c.text;
    }
}

TEST(ReadJsonObjectText, DepthIsBoundedWithoutRecursion) {
    const auto nested = [](size_t depth) {
        return "{\"a\": " + std::string(depth - 1, '[') + std::string(depth - 1, ']') + "}";
    };
    EXPECT_EQ(ReadJsonObjectText(nested(kMaxJsonDepth)).kind, JsonTextKind::kObject);
    EXPECT_EQ(ReadJsonObjectText(nested(kMaxJsonDepth + 1)).problem,
              "containers nested too deeply on line 1");
    // Far past any stack a recursive reader would have.
    EXPECT_EQ(ReadJsonObjectText(std::string(1000000, '[')).kind, JsonTextKind::kInvalid);
}

TEST(ReadJsonObjectText, FindsOnlyTheTopLevelMembers) {
    const std::string text =
        "\xEF\xBB\xBF{ \"a\" : {\"statusLine\": {}} "
        ",\"s\":\"}\\\"{\",\n\"n\":[{\"k\":1}],\"z\":-1e5 }";
    const JsonObjectText json = ReadJsonObjectText(text);
    ASSERT_EQ(json.kind, JsonTextKind::kObject);
    EXPECT_EQ(json.open, 3u);
    EXPECT_EQ(json.close, text.size() - 1);
    std::vector<std::string> spans;
    for (const JsonMember& m : json.members) {
        spans.push_back(text.substr(m.keyStart, m.keyEnd - m.keyStart) + "=" +
                        text.substr(m.valueStart, m.valueEnd - m.valueStart));
    }
    EXPECT_EQ(spans, (std::vector<std::string>{R"("a"={"statusLine": {}})", R"("s"="}\"{")",
                                               R"("n"=[{"k":1}])", R"("z"=-1e5)"}));
}

TEST(JsonKeyIs, DecodesTheKeyAsAReaderWould) {
    struct Case {
        std::string key;
        bool is;
    };
    const Case cases[] = {
        {R"("statusLine")", true},
        {R"("status\u004Cine")", true},
        {R"("\u0073tatusLine")", true},
        {R"("statusline")", false},
        {R"("statusLine ")", false},
        {R"("statusLin")", false},
        {R"("a\"statusLine")", false},
        {R"("statusLine\"")", false},
        {R"("status\u014Cine")", false},
        {R"("")", false},
        {"\"", false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JsonKeyIs(c.key, "statusLine"), c.is) << c.key;
    }
}

}  // namespace
