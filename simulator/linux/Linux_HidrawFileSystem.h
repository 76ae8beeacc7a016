#pragma once
// Presents virtual watches as hidraw-like files hidraw0, hidraw1, ... in a FUSE mount, so that
// a program reaches them with open, read, write, poll, ioctl and flock as it would reach the
// kernel's hidraw nodes:
//
//   write   one output report, report number 0x00 first (taken off before the watch sees it);
//           EINVAL under 2 bytes
//   read    one input report without report number; blocks, or EAGAIN with O_NONBLOCK. Each
//           open file has its own queue holding every report from its open on.
//   poll    POLLOUT always, POLLIN while this file has a report, POLLHUP|POLLERR once the
//           watch has left the bus
//   ioctl   HIDIOCGRAWINFO, HIDIOCGRDESCSIZE, HIDIOCGRDESC, HIDIOCGRAWNAME, HIDIOCGRAWPHYS,
//           HIDIOCGRAWUNIQ
//
// A node exists while its watch is present; after an unplug or a reboot, handles opened
// before stay dead (reports already queued can still be read, then EIO; writes ENODEV) and a
// new open reaches the watch again. Only an open for writing opens the watch. flock is left
// to the kernel, which locks FUSE files locally; a watch held by another program opens, and
// the server holds an exclusive lock on its node as that program would.

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

#include "Linux_UniqueFd.h"
#include "VirtualWatch.h"

namespace watchsim {

class Linux_HidrawFileSystem {
  public:
    // Mounts the directory (created when missing) and starts serving the watches, which must
    // outlive this object; their listeners belong to it while it runs. Throws
    // std::runtime_error when the mount fails (no /dev/fuse, not permitted, ...).
    Linux_HidrawFileSystem(const std::filesystem::path& directory,
                           std::vector<VirtualWatch*> watches);
    ~Linux_HidrawFileSystem();
    Linux_HidrawFileSystem(const Linux_HidrawFileSystem&) = delete;
    Linux_HidrawFileSystem& operator=(const Linux_HidrawFileSystem&) = delete;

    std::filesystem::path NodePath(std::size_t index) const;
    // Stops serving and unmounts; waiting callers get an error. Safe to call twice.
    void Stop();

    struct Session;  // the FUSE session and the open handles, used by the loop thread only

  private:
    void Loop();
    // Takes and lets go of the exclusive lock that keeps the host off a held watch.
    void LockLoop();

    std::filesystem::path directory_;
    std::vector<VirtualWatch*> watches_;
    std::unique_ptr<Session> session_;
    common::Linux_UniqueFd wakeFd_;
    std::atomic<bool> stopping_{false};
    std::thread loop_;
    std::thread locker_;
};

}  // namespace watchsim
