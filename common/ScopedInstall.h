#pragma once
// Puts a process-wide seam in place for the life of the object, and takes it away again:
// the one way the program's assemblies, the test programs, fwimage and the benchmarks
// install the platform's image reader, local zone, thread services and pause. Seams are
// installed at start-up, before other threads run, and removed after they have ended.

#include <functional>
#include <utility>

namespace common {

class ScopedInstall {
  public:
    // Calls install(service) now and install with an empty service (null, {}) at the end.
    template <typename Install, typename Service>
    ScopedInstall(Install install, Service service)
        : uninstall_([install] { install(Service{}); }) {
        install(std::move(service));
    }
    ~ScopedInstall() { uninstall_(); }
    ScopedInstall(const ScopedInstall&) = delete;
    ScopedInstall& operator=(const ScopedInstall&) = delete;

  private:
    std::function<void()> uninstall_;
};

}  // namespace common
