// The extended-length form of paths handed to Win32 file calls, and what a folder that could not
// be listed turns out to be.
#include "platform/long_path.h"

#include <gtest/gtest.h>

#include "platform/listing_failure.h"

namespace {

TEST(ExtendedLengthPath, DrivesSharesAndWhatStaysAsItIs) {
    const struct {
        const wchar_t* path;
        const wchar_t* extended;
    } cases[] = {
        {L"C:\\a", L"\\\\?\\C:\\a"},
        {L"c:/Users/x/.claude/projects", L"\\\\?\\c:\\Users\\x\\.claude\\projects"},
        {L"C:\\", L"\\\\?\\C:\\"},
        {L"C:\\a\\", L"\\\\?\\C:\\a\\"},  // a trailing separator kept
        {L"C:\\a\\\\b", L"\\\\?\\C:\\a\\b"},
        {L"C:\\a\\.\\b\\..\\c", L"\\\\?\\C:\\a\\c"},
        {L"C:\\a\\..\\..\\b", L"\\\\?\\C:\\b"},       // ".." stops at the drive
        {L"C:\\a\\...\\b", L"\\\\?\\C:\\a\\...\\b"},  // not a dot component
        {L"C:\\a\\.b", L"\\\\?\\C:\\a\\.b"},
        {L"\\\\server\\share\\x", L"\\\\?\\UNC\\server\\share\\x"},
        {L"\\\\wsl.localhost\\Ubuntu\\home\\u", L"\\\\?\\UNC\\wsl.localhost\\Ubuntu\\home\\u"},
        {L"//wsl$/Ubuntu/root", L"\\\\?\\UNC\\wsl$\\Ubuntu\\root"},
        {L"\\\\server\\share", L"\\\\?\\UNC\\server\\share"},
        {L"\\\\server\\share\\a\\..\\..", L"\\\\?\\UNC\\server\\share\\"},  // stops at the share
        {L"\\\\?\\C:\\a\\..\\b", L"\\\\?\\C:\\a\\..\\b"},  // already extended: as it is
        {L"\\\\?\\UNC\\s\\x", L"\\\\?\\UNC\\s\\x"},
        {L"\\\\.\\pipe\\x", L"\\\\.\\pipe\\x"},
        {L"\\\\server", L"\\\\server"},  // no share
        {L"\\\\server\\", L"\\\\server\\"},
        {L"\\\\\\x", L"\\\\\\x"},
        {L"a\\b", L"a\\b"},
        {L"\\a\\b", L"\\a\\b"},
        {L"C:a", L"C:a"},
        {L"1:\\a", L"1:\\a"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ExtendedLengthPath(c.path), c.extended) << c.path;
}

TEST(ExtendedLengthPath, OnlyLongPathsAreExtendedForWin32) {
    const std::wstring base = L"C:\\" + std::wstring(kLegacyPathLimit - 4, L'a');
    EXPECT_EQ(PathForWin32(base), base) << "one short of the limit";
    EXPECT_EQ(PathForWin32(base + L"b"), L"\\\\?\\" + base + L"b");
    EXPECT_EQ(PathForWin32(L"C:\\a\\..\\b"), L"C:\\a\\..\\b");
}

TEST(ClassifyListingFailure, NotFoundIsGoneOnlyWhenTheFolderIsNotThere) {
    const FolderStatus folder{true, true, 0};
    const FolderStatus file{true, false, 0};
    const auto missing = [](uint32_t error) { return FolderStatus{false, false, error}; };
    const struct {
        uint32_t findError;
        FolderStatus status;
        ListingFailure expected;
    } cases[] = {
        {kErrorPathNotFound, missing(kErrorPathNotFound), ListingFailure::kGone},
        {kErrorFileNotFound, missing(kErrorFileNotFound), ListingFailure::kGone},
        {kErrorDirectory, file, ListingFailure::kGone},
        {kErrorPathNotFound, folder, ListingFailure::kNotRead},  // a path too long for the call
        {kErrorFilenameExcedRange, folder, ListingFailure::kNotRead},
        {kErrorAccessDenied, folder, ListingFailure::kNotRead},
        {kErrorBadNetPath, folder, ListingFailure::kNotRead},
        {kErrorAccessDenied, missing(kErrorAccessDenied), ListingFailure::kNotRead},
        {kErrorPathNotFound, missing(kErrorFilenameExcedRange), ListingFailure::kNotRead},
        {kErrorPathNotFound, missing(kErrorBadNetPath), ListingFailure::kNotRead},
        {kErrorFileNotFound, folder, ListingFailure::kEmpty},  // an empty drive's root
        {kErrorNoMoreFiles, folder, ListingFailure::kEmpty},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ClassifyListingFailure(c.findError, c.status), c.expected)
            << c.findError << " " << c.status.attributesRead << c.status.isFolder << " "
            << c.status.statusError;
    }
}

}  // namespace
