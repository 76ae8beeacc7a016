#pragma once
// Presents virtual watches as hidraw-like files hidraw0, hidraw1, ... in a FUSE mount, so that
// a program reaches them with open, read, write, poll, ioctl and flock as it would reach the
// kernel's hidraw nodes:
//
//   write   one output report, report number 0x00 first (taken off before the watch sees it)
//   read    one input report without report number; blocks, or EAGAIN with O_NONBLOCK
//   poll    POLLIN when a report waits; POLLHUP|POLLERR once the watch has left the bus
//   ioctl   HIDIOCGRAWINFO, HIDIOCGRDESCSIZE, HIDIOCGRDESC, HIDIOCGRAWNAME, HIDIOCGRAWPHYS
//
// A node exists while its watch is present; after an unplug or a reboot, handles opened
// before stay dead (ENODEV) and a new open reaches the watch again. flock is left to the
// kernel, which locks FUSE files locally.

#include <atomic>
#include <cstddef>
#include <filesystem>
#include <memory>
#include <thread>
#include <vector>

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

    std::filesystem::path directory_;
    std::vector<VirtualWatch*> watches_;
    std::unique_ptr<Session> session_;
    int wakeFd_ = -1;
    std::atomic<bool> stopping_{false};
    std::thread loop_;
};

}  // namespace watchsim
