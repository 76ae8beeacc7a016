#include "UpdateWorkerHarness.h"

#include <algorithm>
#include <string>
#include <thread>

#include "COrnaFirmware.h"
#include "CTalvenComm.h"
#include "CUpdateWorker.h"
#include "ImageBuilder.h"
#include "UiBackend.h"
#include "VirtualWatch_HidPlatform.h"

namespace updatebench {

namespace {

// The worker shows a message box only on failure; the benchmark has nobody to answer it.
class SilentUi : public ui::UiBackend {
  public:
    int ShowMessageBox(const ui::MessageBoxRequest&) override { return ui::IDOK; }
    int RunModalDialog(const res::DialogTemplate&, ui::Dialog&, ui::Dialog*) override { return -1; }
};

}  // namespace

std::vector<std::uint8_t> MakeImage(std::size_t flashBytes, std::size_t chunk,
                                    std::size_t blockBytes) {
    constexpr std::size_t kSector = 4096;
    firmware::ImageBuilder builder;
    builder.Identity(0x3A7C, 0x0A51, kBenchModel, 0x00);
    builder.SectorErase(1, static_cast<std::uint32_t>((flashBytes + kSector - 1) / kSector));
    for (std::size_t offset = 0; offset < flashBytes; offset += chunk) {
        const auto length = std::min(chunk, flashBytes - offset);
        std::vector<std::uint8_t> data(length);
        for (std::size_t i = 0; i < length; ++i) {
            data[i] = static_cast<std::uint8_t>((offset + i) * 31);
        }
        builder.DataSection(firmware::SECTION_FLASH_WRITE,
                            static_cast<std::uint32_t>(kSector + offset), std::move(data));
    }
    builder.VersionBlock(firmware::SECTION_VERSION_BLOCK_1600, "01.30",
                         static_cast<std::uint32_t>(blockBytes), 0xA5);
    return builder.Build();
}

watchsim::WatchConfig BenchWatchConfig() {
    watchsim::WatchConfig config;
    config.hardwareText = std::string("ORNA-HWREV1-") + kBenchModel;
    return config;
}

bool RunUpdate(watchsim::VirtualWatch& watch, const std::vector<std::uint8_t>& image,
               Traffic* traffic) {
    if (traffic != nullptr) {
        *traffic = {};
        watch.SetTrace([traffic](watchsim::TraceDirection direction, auto) {
            if (direction == watchsim::TraceDirection::ToWatch) {
                ++traffic->toWatch;
            } else {
                ++traffic->fromWatch;
            }
        });
    }
    COrnaFirmware firmware(image, nullptr, nullptr);
    ArmillonDevice::VirtualWatch_HidPlatform platform({&watch});
    CTalvenComm facade(platform);
    facade.Connect(0x3A7C, 0x0A51, L"512E");
    if (traffic != nullptr) {
        *traffic = {};  // the bound is about the update, not the connection
    }
    SilentUi ui;
    CUpdateWorker worker(ui, nullptr, &facade, &firmware);
    const bool ok = UpdateThreadProc(&worker) == 0 && worker.succeeded.load() == 1;
    watch.SetTrace(nullptr);
    return ok;
}

watchsim::Clock::Duration GridPacedClock::Now() const {
    return steady_.Now();
}

void GridPacedClock::SleepFor(Duration duration) {
    if (duration <= Duration::zero()) {
        return;
    }
    const auto now = steady_.Now();
    if (!started_) {
        started_ = true;
        deadline_ = now;
    }
    // The next free slot on the grid: one period after the last one, or the first grid
    // point after now when the caller came late.
    const auto late = now - deadline_;
    const auto periodsLate =
        late > Duration::zero() ? (late + duration - Duration(1)) / duration : 0;
    deadline_ += duration * std::max<Duration::rep>(periodsLate, 1);
    const auto wait = deadline_ - steady_.Now();
    if (wait > Duration::zero()) {
        std::this_thread::sleep_for(wait);
    }
}

}  // namespace updatebench
