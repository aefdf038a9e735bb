#pragma once

#include <cstdint>

// What a folder that could not be listed (FindFirstFileExW failed) turns out to be. A folder that
// is not there any more has simply gone; one that is there but could not be listed (access
// denied, a path too long, a share that does not answer) was not read, and its files are kept and
// shown as such. "Not found" alone does not tell the two apart: Windows also says it for a path
// longer than it accepts, and for a folder without a single entry (the root of an empty drive).
enum class ListingFailure {
    kEmpty,    // there, with nothing in it
    kGone,     // not there, or not a folder
    kNotRead,  // there (or unknown), and not listed
};

// The folder's own status, as GetFileAttributesW gave it: `attributesRead` false with its error
// code in `statusError`, else whether it is a folder.
struct FolderStatus {
    bool attributesRead = false;
    bool isFolder = false;
    uint32_t statusError = 0;
};

// `findError` is the listing's error code (GetLastError after FindFirstFileExW).
ListingFailure ClassifyListingFailure(uint32_t findError, const FolderStatus& status);

// The Win32 error codes the decision uses (winerror.h).
inline constexpr uint32_t kErrorFileNotFound = 2;
inline constexpr uint32_t kErrorPathNotFound = 3;
inline constexpr uint32_t kErrorAccessDenied = 5;
inline constexpr uint32_t kErrorNoMoreFiles = 18;
inline constexpr uint32_t kErrorBadNetPath = 53;
inline constexpr uint32_t kErrorFilenameExcedRange = 206;
inline constexpr uint32_t kErrorDirectory = 267;
