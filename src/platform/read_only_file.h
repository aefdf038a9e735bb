#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// A regular file opened for sequential binary reading that never gets in the way of the program
// writing it: other processes may keep writing, renaming or deleting it while it is open. Other
// kinds of file (a FIFO, a device) are refused without waiting on them.
class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile();
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    bool Open(const std::wstring& path);
    bool Seek(uint64_t offset);
    // Reads up to `size` bytes; returns how many were read, 0 at the end or on an error.
    size_t Read(char* buffer, size_t size);
    // True once a read has failed (rather than reached the end).
    bool failed() const { return failed_; }

private:
    void Close();
    intptr_t handle_ = -1;
    bool failed_ = false;
};
