#include "Linux_ThreadPriority.h"

#include <sys/resource.h>
#include <unistd.h>

#include <cerrno>

int Linux_ThreadPriority::CallingThreadNice() {
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
}

void Linux_ThreadPriority::LowerCallingThreadOneStep() {
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
    if (nice == -1 && errno != 0) {
        return;
    }
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), nice + 1);
}
