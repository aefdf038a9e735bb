#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/file_walk.h"
#include "platform/system.h"

namespace {

struct Walker {
    const VisitFile& visit;
    const VisitUnlisted& unlisted;

    void Unlisted(const std::string& folder) const {
        if (unlisted) unlisted(WideFromPath(folder));
    }

    void WalkFolder(const std::string& folder) const {
        DIR* dir = ::opendir(folder.c_str());
        if (dir == nullptr) {
            if (errno != ENOENT && errno != ENOTDIR) Unlisted(folder);  // else: removed meanwhile
            return;
        }
        const int dirFd = ::dirfd(dir);
        for (;;) {
            errno = 0;
            const dirent* entry = ::readdir(dir);
            if (entry == nullptr) {
                if (errno != 0) Unlisted(folder);  // listed only in part
                break;
            }
            const char* name = entry->d_name;
            if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0))) {
                continue;
            }
            const std::string path = folder + (folder.empty() || folder.back() == '/' ? "" : "/") + name;
            const unsigned char type = entry->d_type;
            if (type == DT_DIR) {
                WalkFolder(path);
            } else if (type == DT_REG || type == DT_LNK || type == DT_UNKNOWN) {
                VisitEntry(dirFd, name, path, type);
            }
        }
        ::closedir(dir);
    }

    // A file, a link, or an entry of unknown type (which may be a folder or a link to one: only
    // real folders are entered).
    void VisitEntry(int dirFd, const char* name, const std::string& path, unsigned char type) const {
        struct stat status {};
        const int flags = type == DT_UNKNOWN ? AT_SYMLINK_NOFOLLOW : 0;
        if (::fstatat(dirFd, name, &status, flags) != 0) {
            return;
        }
        const bool link = type == DT_LNK || S_ISLNK(status.st_mode);
        if (S_ISLNK(status.st_mode) && ::fstatat(dirFd, name, &status, 0) != 0) {
            return;
        }
        if (S_ISREG(status.st_mode)) {
            visit(WideFromPath(path),
                  {static_cast<uint64_t>(status.st_size), static_cast<int64_t>(status.st_mtime)});
        } else if (S_ISDIR(status.st_mode) && !link) {
            WalkFolder(path);
        }
    }
};

}  // namespace

void WalkRegularFiles(const std::wstring& root, const VisitFile& visit, const VisitUnlisted& unlisted) {
    Walker{visit, unlisted}.WalkFolder(PathFromWide(root).native());
}

bool PathExists(const std::wstring& path) {
    struct stat status {};
    return ::stat(PathFromWide(path).c_str(), &status) == 0;
}
