#include "Linux_StaleMount.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace watchsim {

bool ClearStaleFuseMount(const std::filesystem::path& directory) {
    struct stat attributes {};
    if (::stat(directory.c_str(), &attributes) == 0 || errno != ENOTCONN) {
        return false;
    }
    if (::umount2(directory.c_str(), MNT_DETACH) == 0) {
        return true;
    }
    // Without the right to unmount, the setuid helper may still do it for the mount's owner.
    const pid_t child = ::fork();
    if (child == 0) {
        ::execlp("fusermount3", "fusermount3", "-u", "-z", directory.c_str(), nullptr);
        ::_exit(127);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

}  // namespace watchsim
