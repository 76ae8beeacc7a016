#pragma once
// For tests: a private X server (Xvfb) on a display number it picks itself, without TCP.
// The server dies with the test process, and is stopped when the object goes.

#include <sys/types.h>
#include <memory>
#include <string>

class XvfbServer {
  public:
    // Starts Xvfb and waits (at most a few seconds) until it accepts clients. Null, with
    // the reason in `whyNot`, when there is no Xvfb or it did not come up.
    static std::unique_ptr<XvfbServer> Start(std::string& whyNot);

    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    // ":N"
    const std::string& DisplayName() const { return displayName_; }

  private:
    XvfbServer(pid_t pid, std::string displayName)
        : pid_(pid), displayName_(std::move(displayName)) {}

    pid_t pid_;
    std::string displayName_;
};
