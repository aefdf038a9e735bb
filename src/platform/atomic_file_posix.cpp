#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "platform/fd_io_posix.h"
#include "platform/system.h"

bool WriteFileAtomically(const std::wstring& path, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    // A link (a settings file kept in a dotfile repository, say) stays a link: the file it
    // points to is the one replaced, in its own folder.
    std::string target = PathFromWide(path).native();
    if (char* real = ::realpath(target.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    const std::string temp = target + ".tmp-" + std::to_string(::getpid()) + "-" +
                             std::to_string(counter.fetch_add(1));

    // Keep the permissions of the file being replaced.
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
        if (!(mode & S_IWUSR)) {
            return false;  // read-only: renaming over it would succeed, so refuse here
        }
    }
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAllToDescriptor(fd, bytes) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok) {
        ::fchmodat(AT_FDCWD, temp.c_str(), mode, 0);  // open() applied the umask
        ok = ::rename(temp.c_str(), target.c_str()) == 0;
    }
    if (!ok) {
        ::unlink(temp.c_str());
    }
    return ok;
}

bool MoveFileIfAbsent(const std::wstring& from, const std::wstring& to) {
    const std::string source = PathFromWide(from).native();
    const std::string target = PathFromWide(to).native();
    // link() fails when the target exists, which rename() would replace.
    if (source == target || ::link(source.c_str(), target.c_str()) != 0) {
        return false;
    }
    ::unlink(source.c_str());
    return true;
}

std::optional<bool> WriteToDevice(const std::wstring& path, std::string_view bytes) {
    const std::string name = PathFromWide(path).native();
    struct stat status {};
    if (::stat(name.c_str(), &status) != 0 || S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) {
        return std::nullopt;
    }
    const int fd = ::open(name.c_str(), O_WRONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    bool ok = WriteAllToDescriptor(fd, bytes);
    ok = (::close(fd) == 0) && ok;
    return ok;
}
