#include "statusline/statusline_login.h"

#include "core/config_dirs.h"
#include "core/json_fields.h"
#include "platform/unicode.h"

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'/' || c == L'\\';
}

}  // namespace

std::wstring TranscriptPathOf(std::string_view input) {
    const auto value = FindStringAfterKey(input, "transcript_path", 0);
    if (!value)
        return {};
    std::string path;
    for (size_t i = 0; i < value->size(); ++i) {
        char c = (*value)[i];
        if (c == '\\') {
            // The value stops at the first double quote, so a backslash can end it: not a path.
            if (i + 1 >= value->size())
                return {};
            c = (*value)[++i];
            if (c != '\\' && c != '/')
                return {};
        }
        path += c;
    }
    return Utf8ToWide(path);
}

std::wstring ConfigFolderOfTranscript(const std::wstring& transcriptPath) {
    static constexpr std::wstring_view kProjects = L"projects";
    size_t found = std::wstring::npos;
    for (size_t start = 0; start < transcriptPath.size();) {
        size_t end = start;
        while (end < transcriptPath.size() && !IsSeparator(transcriptPath[end]))
            ++end;
        const bool somethingInside = end + 1 < transcriptPath.size();
        if (start > 0 && somethingInside &&
            std::wstring_view(transcriptPath).substr(start, end - start) == kProjects) {
            found = start;
        }
        start = end + 1;
    }
    if (found == std::wstring::npos)
        return {};
    size_t folderEnd = found;
    while (folderEnd > 1 && IsSeparator(transcriptPath[folderEnd - 1]))
        --folderEnd;
    return transcriptPath.substr(0, folderEnd);
}

std::wstring StatusLineConfigFolder(const std::wstring& configDirValue, std::string_view input,
                                    const std::function<bool(const std::wstring&)>& isFolder) {
    for (const std::wstring& folder : SplitConfigDirs(configDirValue, isFolder)) {
        if (isFolder(folder))
            return folder;
    }
    const std::wstring fromTranscript = ConfigFolderOfTranscript(TranscriptPathOf(input));
    if (!fromTranscript.empty() && isFolder(fromTranscript))
        return fromTranscript;
    return {};
}
