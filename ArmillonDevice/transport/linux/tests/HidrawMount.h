#pragma once
// Virtual watches served as hidraw nodes through a FUSE mount in a temporary directory, so
// the backend reaches them through the kernel as it reaches a real watch. The watches share
// one clock: a manual one unless another is given (nothing moves it unless a test does).

#include <memory>
#include <string>
#include <vector>

#include "Clock.h"
#include "Linux_HidrawFileSystem.h"
#include "TemporaryDirectory.h"
#include "VirtualWatch.h"
#include "WatchConfig.h"

namespace ArmillonDevice::testing {

class HidrawMount {
  public:
    // Null, with the reason in `whyNot`, where FUSE is missing or mounting is not permitted.
    static std::unique_ptr<HidrawMount> Create(const std::vector<watchsim::WatchConfig>& watches,
                                               std::string& whyNot,
                                               std::shared_ptr<watchsim::Clock> clock = nullptr);
    ~HidrawMount();  // unmounts
    HidrawMount(const HidrawMount&) = delete;
    HidrawMount& operator=(const HidrawMount&) = delete;

    std::string Directory() const { return directory_.Path().string() + "/dev"; }
    std::string NodePath(std::size_t index) const { return files_->NodePath(index).string(); }
    watchsim::VirtualWatch& Watch(std::size_t index) const { return *watches_.at(index); }

  private:
    HidrawMount() = default;

    fu_testing::TemporaryDirectory directory_{"hidraw-test-"};
    std::vector<std::unique_ptr<watchsim::VirtualWatch>> watches_;
    std::unique_ptr<watchsim::Linux_HidrawFileSystem> files_;
};

}  // namespace ArmillonDevice::testing
