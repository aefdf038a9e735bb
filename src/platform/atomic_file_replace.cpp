#include "platform/atomic_file_replace.h"

namespace {
// Win32 error codes, as winerror.h numbers them.
constexpr uint32_t kFileNotFound = 2;
constexpr uint32_t kAccessDenied = 5;  // also: the original is open or pending deletion
constexpr uint32_t kSharingViolation = 32;
constexpr uint32_t kLockViolation = 33;
constexpr uint32_t kFileExists = 80;
constexpr uint32_t kAlreadyExists = 183;
constexpr uint32_t kUnableToRemoveReplaced = 1175;   // both files kept their names
constexpr uint32_t kUnableToMoveReplacement = 1176;  // without a backup: the original is gone
constexpr uint32_t kUserMappedFile = 1224;
}  // namespace

ReplaceStep AfterReplaceFailure(uint32_t error, int attempt) {
    if (attempt >= kReplaceAttempts) {
        return ReplaceStep::GiveUp;
    }
    switch (error) {
        case kFileNotFound:             // the original went away between the look and the call
        case kUnableToMoveReplacement:  // the original was removed, the new file not yet moved
        case kFileExists:               // a second writer's file appeared: replace it instead
        case kAlreadyExists:
            return ReplaceStep::RetryNow;
        case kAccessDenied:
        case kSharingViolation:
        case kLockViolation:
        case kUnableToRemoveReplaced:
        case kUserMappedFile:
            return ReplaceStep::RetryLater;
        default:
            return ReplaceStep::GiveUp;
    }
}

uint32_t ReplaceRetryDelayMs(int attempt) {
    return 10u << (attempt < 1 ? 0 : attempt > 8 ? 7 : attempt - 1);
}
