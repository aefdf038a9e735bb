#pragma once

#include <string>
#include <cstdint>
#include <optional>
#include <string_view>

// Replaces the file at `path` with `bytes` so that readers see either the old contents or the
// new, never a part: the bytes go to a temporary file in the same folder, reach the disk, and
// the temporary file then takes the original's place. On failure the original is untouched and
// no temporary file is left behind. A read-only file is not replaced. Returns true on success.
bool WriteFileAtomically(const std::wstring& path, std::string_view bytes);

// Gives the file at `from` the name `to` unless something is already there, in one step: a file
// another process has just written at `to` is never replaced. Both must be on one volume.
// Returns true when the file was moved.
bool MoveFileIfAbsent(const std::wstring& from, const std::wstring& to);

// When `path` names something that exists and is no file on disk (a device such as NUL or
// /dev/stdout, a pipe), which cannot be replaced, writes the bytes to it directly and says
// whether that worked; nothing (and writes nothing) for a file on disk or a missing one.
std::optional<bool> WriteToDevice(const std::wstring& path, std::string_view bytes);

// The name a replacement's temporary file has beside `path`'s file: "NAME.tmp-PID-N".
bool IsReplacementTempName(std::wstring_view fileName);

// Deletes the temporary files of replacements that never finished (their writer was killed)
// from `folder`, when they are older than `minAgeSeconds`: a younger one may belong to a write
// under way in another process. Returns how many went.
int RemoveAbandonedTempFiles(const std::wstring& folder, int64_t minAgeSeconds);
