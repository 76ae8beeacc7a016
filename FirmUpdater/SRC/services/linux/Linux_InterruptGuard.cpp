#include "Linux_InterruptGuard.h"

#include <atomic>
#include <cerrno>
#include <cstring>

namespace {

// Everything the handler touches: plain memory filled before the handler is installed.
constexpr std::size_t kNoteCapacity = 1024;
char gNote[kNoteCapacity];
std::size_t gNoteLength = 0;
int gNoteFd = STDERR_FILENO;
volatile std::sig_atomic_t gNoteShown = 0;
std::atomic<unsigned> gHeldOff{0};
static_assert(std::atomic<unsigned>::is_always_lock_free);

void HoldOff(int) {
    const int savedErrno = errno;
    gHeldOff.fetch_add(1, std::memory_order_relaxed);
    if (gNoteShown == 0) {
        gNoteShown = 1;
        [[maybe_unused]] const auto written = ::write(gNoteFd, gNote, gNoteLength);
    }
    errno = savedErrno;
}

}  // namespace

Linux_InterruptGuard::Linux_InterruptGuard(std::string_view note, int fd) {
    // A line of its own, whatever the terminal shows at that moment.
    std::string line(1, '\n');
    line.append(note.substr(0, kNoteCapacity - 2));
    line.push_back('\n');
    std::memcpy(gNote, line.data(), line.size());
    gNoteLength = line.size();
    gNoteFd = fd;
    gNoteShown = 0;

    struct sigaction action {};
    action.sa_handler = HoldOff;
    sigemptyset(&action.sa_mask);
    for (const int signal : kSignals) {
        sigaddset(&action.sa_mask, signal);
    }
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        installed_[i] = sigaction(kSignals[i], &action, &previous_[i]) == 0;
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    pipeIgnored_ = sigaction(SIGPIPE, &ignore, &previousPipe_) == 0;
}

Linux_InterruptGuard::~Linux_InterruptGuard() {
    if (pipeIgnored_) {
        sigaction(SIGPIPE, &previousPipe_, nullptr);
    }
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (installed_[i]) {
            sigaction(kSignals[i], &previous_[i], nullptr);
        }
    }
}

unsigned Linux_InterruptGuard::HeldOffCount() {
    return gHeldOff.load(std::memory_order_relaxed);
}
