#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/file_walk.h"
#include "platform/system.h"
#include "platform/unicode.h"

namespace {

using Visit = std::function<void(const std::wstring&, const WalkedFile&)>;

// Returns false when the walk must end.
bool WalkFolder(const std::string& folder, const Visit& visit) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return errno == EACCES || errno == EPERM;
    }
    const int dirFd = ::dirfd(dir);
    bool keepGoing = true;
    errno = 0;
    while (keepGoing) {
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            keepGoing = errno == 0;
            break;
        }
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) {
            continue;
        }
        const std::string path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + name;
        const unsigned char type = entry->d_type;
        if (type == DT_DIR) {
            keepGoing = WalkFolder(path, visit);
        } else if (type == DT_REG || type == DT_LNK || type == DT_UNKNOWN) {
            // An unknown type may be a folder or a link to one: only real folders are entered.
            struct stat status {};
            const int flags = type == DT_UNKNOWN ? AT_SYMLINK_NOFOLLOW : 0;
            if (::fstatat(dirFd, name, &status, flags) != 0) {
                errno = 0;
                continue;
            }
            const bool link = type == DT_LNK || S_ISLNK(status.st_mode);
            if (S_ISLNK(status.st_mode) && ::fstatat(dirFd, name, &status, 0) != 0) {
                errno = 0;
                continue;
            }
            if (S_ISREG(status.st_mode)) {
                visit(Utf8ToWide(path), {static_cast<uint64_t>(status.st_size),
                                         static_cast<int64_t>(status.st_mtime)});
            } else if (S_ISDIR(status.st_mode) && !link) {
                keepGoing = WalkFolder(path, visit);
            }
        }
        errno = 0;
    }
    ::closedir(dir);
    return keepGoing;
}

}  // namespace

void WalkRegularFiles(const std::wstring& root, const Visit& visit) {
    WalkFolder(PathFromWide(root).native(), visit);
}

bool PathExists(const std::wstring& path) {
    struct stat status {};
    return ::stat(PathFromWide(path).c_str(), &status) == 0;
}
