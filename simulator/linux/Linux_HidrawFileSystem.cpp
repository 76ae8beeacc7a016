#define FUSE_USE_VERSION 312

#include "Linux_HidrawFileSystem.h"

#include "Linux_HidrawFileOperations.h"

#include <fcntl.h>
#include <fuse_lowlevel.h>
#include <linux/fuse.h>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>

#include "HidReportDescriptor.h"
#include "Linux_StaleMount.h"
#include "Linux_UniqueFd.h"

namespace watchsim {

Linux_HidrawFileSystem::Linux_HidrawFileSystem(const std::filesystem::path& directory,
                                               std::vector<VirtualWatch*> watches)
    : directory_(std::filesystem::absolute(directory)), watches_(std::move(watches)) {
    ClearStaleFuseMount(directory_);
    std::error_code error;
    std::filesystem::create_directories(directory_, error);

    session_ = std::make_unique<Session>();
    session_->watches = watches_;
    session_->openCount.assign(watches_.size(), 0);
    session_->openGeneration.assign(watches_.size(), 0);
    session_->lockWanted.assign(watches_.size(), false);
    session_->lockHeld.assign(watches_.size(), false);

    char program[] = "watchsim";
    char* arguments[] = {program, nullptr};
    fuse_args args = FUSE_ARGS_INIT(1, arguments);
    const fuse_lowlevel_ops& operations = HidrawFileOperations();
    session_->fuse = fuse_session_new(&args, &operations, sizeof(operations), session_.get());
    fuse_opt_free_args(&args);
    if (!session_->fuse) {
        throw std::runtime_error("cannot create the FUSE session");
    }
    if (fuse_session_mount(session_->fuse, directory_.c_str()) != 0) {
        fuse_session_destroy(session_->fuse);
        throw std::runtime_error("cannot mount " + directory_.string() + " (FUSE)");
    }
    // The session keeps using the descriptor the mount opened, through the hooks.
    if (fuse_session_custom_io(session_->fuse, &HidrawStreamHooks(),
                               fuse_session_fd(session_->fuse)) != 0) {
        fuse_session_unmount(session_->fuse);
        fuse_session_destroy(session_->fuse);
        throw std::runtime_error("cannot hook the FUSE session");
    }
    wakeFd_.Reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wakeFd_.IsValid()) {
        fuse_session_unmount(session_->fuse);
        fuse_session_destroy(session_->fuse);
        throw std::runtime_error("cannot create an eventfd");
    }
    const int wake = wakeFd_.Get();
    session_->wake = [wake] {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wake, &one, sizeof(one));
    };
    for (VirtualWatch* watch : watches_) {
        watch->SetListener(session_->wake);
    }
    loop_ = std::thread([this] { Loop(); });
    locker_ = std::thread([this] { LockLoop(); });
}

Linux_HidrawFileSystem::~Linux_HidrawFileSystem() {
    Stop();
}

std::filesystem::path Linux_HidrawFileSystem::NodePath(std::size_t index) const {
    return directory_ / ("hidraw" + std::to_string(index));
}

void Linux_HidrawFileSystem::Stop() {
    if (stopping_.exchange(true)) {
        return;
    }
    for (VirtualWatch* watch : watches_) {
        watch->SetListener({});
    }
    // The locking thread may be opening a node: it finishes while the loop still serves.
    {
        std::lock_guard guard(session_->lockMutex);
        session_->lockStop = true;
    }
    session_->lockChanged.notify_all();
    if (locker_.joinable()) {
        locker_.join();
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wakeFd_.Get(), &one, sizeof(one));
    if (loop_.joinable()) {
        loop_.join();
    }
    session_->Shutdown();
    fuse_session_unmount(session_->fuse);
    fuse_session_destroy(session_->fuse);
    wakeFd_.Reset();  // the last to go: both threads have ended
}

void Linux_HidrawFileSystem::LockLoop() {
    Session& session = *session_;
    std::vector<common::Linux_UniqueFd> held(watches_.size());
    std::unique_lock guard(session.lockMutex);
    for (;;) {
        session.lockChanged.wait(
            guard, [&] { return session.lockStop || session.lockWanted != session.lockHeld; });
        if (session.lockStop) {
            break;
        }
        for (std::size_t node = 0; node < watches_.size(); ++node) {
            const bool want = session.lockWanted[node];
            if (want == session.lockHeld[node]) {
                continue;
            }
            guard.unlock();
            if (want) {
                // As another program would: open the node and lock it. Should the node be
                // gone or already locked, there is nothing more to do.
                held[node].Reset(::open(NodePath(node).c_str(), O_RDONLY | O_CLOEXEC));
                if (held[node].IsValid()) {
                    ::flock(held[node].Get(), LOCK_EX | LOCK_NB);
                }
            } else {
                held[node].Reset();
            }
            guard.lock();
            session.lockHeld[node] = want;
        }
        session.wake();
    }
    guard.unlock();
    held.clear();
}

void Linux_HidrawFileSystem::Loop() {
    fuse_buf buffer{};
    pollfd descriptors[2] = {{fuse_session_fd(session_->fuse), POLLIN, 0},
                             {wakeFd_.Get(), POLLIN, 0}};
    while (!stopping_ && !fuse_session_exited(session_->fuse)) {
        // A short time-out lets a reboot on the steady clock end without anyone asking.
        const int ready = ::poll(descriptors, 2, 10);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (descriptors[1].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto read = ::read(wakeFd_.Get(), &count, sizeof(count));
        }
        for (VirtualWatch* watch : watches_) {
            watch->Tick();
        }
        session_->ProcessEvents();
        if (ready > 0 && (descriptors[0].revents & (POLLIN | POLLERR | POLLHUP))) {
            const int received = fuse_session_receive_buf(session_->fuse, &buffer);
            if (received == -EINTR || received == -EAGAIN) {
                continue;
            }
            if (received <= 0) {
                break;  // unmounted from outside
            }
            fuse_session_process_buf(session_->fuse, &buffer);
            session_->ProcessEvents();
        }
    }
    std::free(buffer.mem);
}

}  // namespace watchsim
