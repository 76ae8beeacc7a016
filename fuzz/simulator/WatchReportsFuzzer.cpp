// Feeds arbitrary report traffic to a watch: whatever the host sends, in whatever order, the
// watch must answer with well-formed reports and never read or write out of bounds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "VirtualWatch.h"

namespace {

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    watchsim::WatchConfig config;
    config.reportLength = 3 + data[0] % 70;
    config.flashSize = 64 * 1024;
    config.flash2Size = 16 * 1024;
    config.clockRecordSize = 40;
    config.trainingRecords = {{1, {1, 2, 3}, {4, 5, 6, 7}, 1}, {2, {}, {8}, 0}};
    auto clock = std::make_shared<watchsim::ManualClock>();
    watchsim::VirtualWatch watch(config, clock);
    Check(watch.Open());

    const std::size_t length = watch.OutputReportLength();
    std::size_t at = 1;
    while (at < size) {
        const std::uint8_t operation = data[at++];
        switch (operation % 8) {
            case 0:
            case 1:
            case 2: {  // one output report from the input, report number forced to 0
                std::vector<std::uint8_t> report(length, 0);
                for (std::size_t i = 1; i < length && at < size; ++i) {
                    report[i] = data[at++];
                }
                (void)watch.WriteReport(report);
                break;
            }
            case 3:
            case 4: {
                std::vector<std::uint8_t> report;
                if (watch.ReadReport(report) == watchsim::ReadOutcome::Report) {
                    Check(report.size() == watch.InputReportLength());
                    Check(report[0] == 0);
                    const std::size_t payload = ((report[1] & 1u) << 8) | report[2];
                    Check(payload <= report.size() - 3);
                }
                break;
            }
            case 5:
                watch.Close();
                (void)watch.Open();
                break;
            case 6:
                clock->Advance(std::chrono::milliseconds(100 * (operation >> 3)));
                (void)watch.Open();
                break;
            case 7:
                watch.Unplug();
                watch.Plug();
                (void)watch.Open();
                break;
        }
    }
    Check(watch.Flash(0, config.flashSize).size() == config.flashSize);
    return 0;
}
