#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <cwchar>
#include <fstream>
#include <string>

#include "platform/atomic_file.h"
#include "platform/system.h"

namespace {

namespace fs = std::filesystem;

TEST(AbandonedTempFiles, OnlyOldReplacementTempsGo) {
    EXPECT_TRUE(IsReplacementTempName(L"live.ini.tmp-4312-0"));
    EXPECT_TRUE(IsReplacementTempName(L"config.ini.tmp-1-27"));
    for (const wchar_t* name :
         {L"live.ini", L"live.ini.tmp-", L"live.ini.tmp-12", L"live.ini.tmp-12-",
          L"live.ini.tmp--3", L"live.ini.tmp-1a-2", L".tmp-1-2", L"notes.tmp-1-2.txt"}) {
        EXPECT_FALSE(IsReplacementTempName(name)) << std::string(name, name + wcslen(name));
    }

    const fs::path folder =
        fs::temp_directory_path() /
        ("tidewell-temps-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const auto make = [&](const char* name, int ageSeconds) {
        std::ofstream(folder / name) << "x";
        fs::last_write_time(folder / name,
                            fs::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
    };
    make("live.ini.tmp-77-0", 3600);  // its writer was killed an hour ago
    make("api.ini.tmp-78-1", 601);    // just past the age
    make("live.ini.tmp-79-2", 590);   // a write that may still be under way
    make("live.ini", 3600);           // the file itself
    make("notes.tmp-1-2.txt", 3600);  // not ours
    EXPECT_EQ(RemoveAbandonedTempFiles(WideFromPath(folder), 600), 2);
    EXPECT_FALSE(fs::exists(folder / "live.ini.tmp-77-0"));
    EXPECT_FALSE(fs::exists(folder / "api.ini.tmp-78-1"));
    EXPECT_TRUE(fs::exists(folder / "live.ini.tmp-79-2"));
    EXPECT_TRUE(fs::exists(folder / "live.ini"));
    EXPECT_TRUE(fs::exists(folder / "notes.tmp-1-2.txt"));
    EXPECT_EQ(RemoveAbandonedTempFiles(L"", 600), 0);
    fs::remove_all(folder);
}

}  // namespace
