#pragma once

#include <string_view>

// Writes all the bytes to a POSIX file descriptor, resuming after interruptions and partial
// writes. False on any other error.
bool WriteAllToDescriptor(int fd, std::string_view bytes);
