// What tidewell.exe carries: the four Geist faces as RCDATA 101-104, the icon and the version.
#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace {

class Executable : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExW(HostPath(TIDEWELL_EXECUTABLE).c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module, nullptr) << "cannot open " << TIDEWELL_EXECUTABLE;
    }
    void TearDown() override {
        if (module) FreeLibrary(module);
    }
    std::string Resource(int id, const wchar_t* type) {
        HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
        if (!found) return {};
        HGLOBAL loaded = LoadResource(module, found);
        const void* data = loaded ? LockResource(loaded) : nullptr;
        return data ? std::string(static_cast<const char*>(data), SizeofResource(module, found))
                    : std::string();
    }
    HMODULE module = nullptr;
};

TEST_F(Executable, EmbedsTheFourGeistFacesAsRcdata101To104) {
    std::vector<std::string> fonts;
    std::stringstream list(TIDEWELL_FONT_FILES);
    for (std::string file; std::getline(list, file, '|');) fonts.push_back(file);
    if (fonts.empty()) {
        GTEST_SKIP() << "this build has no fonts";
    }
    ASSERT_EQ(fonts.size(), 4u);
    for (int i = 0; i < 4; ++i) {
        const std::string embedded = Resource(101 + i, MAKEINTRESOURCEW(10));  // RT_RCDATA
        const std::string expected = ReadWholeFile(HostPath(fonts[i]));
        ASSERT_GT(expected.size(), 10000u) << fonts[i];
        EXPECT_EQ(embedded.size(), expected.size()) << "RCDATA " << 101 + i;
        EXPECT_TRUE(embedded == expected) << "RCDATA " << 101 + i;
        EXPECT_EQ(embedded.substr(0, 4), std::string("\0\1\0\0", 4));  // TrueType
    }
}

TEST_F(Executable, HasIconManifestAndVersion) {
    EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14)), nullptr);  // icon
    EXPECT_NE(Resource(1, MAKEINTRESOURCEW(24)).find("8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"),
              std::string::npos);  // manifest, Windows 10/11
    EXPECT_NE(Resource(1, MAKEINTRESOURCEW(24)).find(">PerMonitorV2, PerMonitor</dpiAwareness>"),
              std::string::npos);
    EXPECT_NE(Resource(1, MAKEINTRESOURCEW(24))
                  .find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/"
                        "WindowsSettings\">true</longPathAware>"),
              std::string::npos);
    const std::string version = Resource(1, MAKEINTRESOURCEW(16));
    ASSERT_FALSE(version.empty());
    const auto wide = [](const wchar_t* s) {
        return std::string(reinterpret_cast<const char*>(s), wcslen(s) * 2);
    };
    EXPECT_NE(version.find(wide(L"Tidewell")), std::string::npos);
    EXPECT_NE(version.find(wide(L"" TIDEWELL_VERSION)), std::string::npos);
}

}  // namespace
