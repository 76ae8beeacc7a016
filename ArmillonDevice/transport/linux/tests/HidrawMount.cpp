#include "HidrawMount.h"

#include <unistd.h>

#include <exception>

namespace ArmillonDevice::testing {

std::unique_ptr<HidrawMount> HidrawMount::Create(const std::vector<watchsim::WatchConfig>& watches,
                                                 std::string& whyNot,
                                                 std::shared_ptr<watchsim::Clock> clock) {
    if (::access("/dev/fuse", R_OK | W_OK) != 0) {
        whyNot = "/dev/fuse is not available here";
        return nullptr;
    }
    std::unique_ptr<HidrawMount> mount(new HidrawMount());
    if (!clock) {
        clock = std::make_shared<watchsim::ManualClock>();
    }
    std::vector<watchsim::VirtualWatch*> served;
    for (const auto& config : watches) {
        mount->watches_.push_back(std::make_unique<watchsim::VirtualWatch>(config, clock));
        served.push_back(mount->watches_.back().get());
    }
    try {
        mount->files_ =
            std::make_unique<watchsim::Linux_HidrawFileSystem>(mount->Directory(), served);
    } catch (const std::exception& error) {
        whyNot = std::string("cannot mount a FUSE file system here: ") + error.what();
        return nullptr;
    }
    return mount;
}

HidrawMount::~HidrawMount() {
    files_.reset();  // unmounts before the watches and the directory go
}

}  // namespace ArmillonDevice::testing
