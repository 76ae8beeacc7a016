// The update on the worker thread: the image's command list through the facade.
#include <chrono>
#include <new>
#include <optional>
#include <string>

#include "ArmillonException.h"
#include "ArmillonExceptionCodes.h"
#include "CMessageDisplay.h"
#include "COrnaFirmware.h"
#include "CTalvenComm.h"
#include "CUpdateWorker.h"
#include "ImageLayout.h"
#include "MessageBoxRequest.h"
#include "RequestBlockSize.h"
#include "ResourceIds.h"
#include "Transcript.h"
#include "UpdatePlan.h"

namespace {

void Tell(CTalvenComm& facade, const std::string& line) {
    if (auto* transcript = facade.GetTranscript(); transcript != nullptr) {
        transcript->Line(line);
    }
}

// "step 3/12: FlashWrite at 0x00001000"
std::string StepTitle(const UpdateStep& step, std::size_t number, std::size_t count) {
    return "step " + std::to_string(number) + "/" + std::to_string(count) + ": " + step.what;
}

// "(entry 2, section 0x00410000 flash-write, 4109 bytes, 4.2 ms)"
std::string StepDetails(const UpdateStep& step, std::chrono::nanoseconds duration) {
    const std::string entry = step.entry == UpdateStep::kEndOfUpdate
                                  ? std::string("end of update")
                                  : "entry " + std::to_string(step.entry);
    return " (" + entry + ", section " + common::FormatHex(step.type, 8) + " " +
           firmware::SectionTypeName(step.type) + ", " + std::to_string(step.bytes) + " bytes, " +
           common::FormatDuration(duration) + ")";
}

// The facade hears about every report written for as long as the steps run.
struct ProgressListening {
    CTalvenComm& facade;
    ProgressListening(CTalvenComm& facade, UpdateProgress& progress) : facade(facade) {
        facade.SetWriteListener(&progress);
    }
    ~ProgressListening() { facade.SetWriteListener(nullptr); }
};

void RunSteps(CTalvenComm& facade, const COrnaFirmware& image, UpdateProgress& progress) {
    const auto steps = PlanUpdate(image.commands);
    std::size_t count = 0;
    for (const auto& step : steps) {
        count += step.call ? 1 : 0;
    }
    progress.SetTotal(TotalBytes(steps));
    Tell(facade, "update: " + std::to_string(count) + " steps, " +
                     std::to_string(TotalBytes(steps)) + " bytes to send");
    const ProgressListening listening(facade, progress);
    std::size_t number = 0;
    for (const auto& step : steps) {
        if (!step.call) {
            Tell(facade, "entry " + std::to_string(step.entry) + ": section " +
                             common::FormatHex(step.type, 8) + " " +
                             firmware::SectionTypeName(step.type) + ": nothing to send");
            continue;
        }
        ++number;
        progress.BeginStep(step.bytes);
        const auto retriesBefore = facade.RetryCount();
        const auto started = std::chrono::steady_clock::now();
        const auto result = step.call(facade);
        const auto duration = std::chrono::steady_clock::now() - started;
        if (result != 0) {
            progress.Stop();
            const auto retries = facade.RetryCount() - retriesBefore;
            Tell(facade, StepTitle(step, number, count) + ": " +
                             ArmillonDevice::DescribeDeviceErrorWithCode(result) + " after " +
                             std::to_string(retries) + (retries == 1 ? " retry" : " retries") +
                             StepDetails(step, duration));
            throw DeviceException(exception_code::kDeviceOperationFailed);
        }
        progress.EndStep();
        Tell(facade, StepTitle(step, number, count) + ": ok" + StepDetails(step, duration));
        if (step.closesConnection) {
            // The watch has left the connection; it is closed on this side as well and
            // never opened again.
            facade.Close();
        }
    }
    facade.Close();
}

std::uint16_t MessageFor(const DeviceException& e) {
    switch (e.code) {
        case exception_code::kOtherDeviceFound:
            return res::IDS_OTHER_DEVICE;
        case exception_code::kCommunicationError:
            return res::IDS_COMMUNICATION_ERROR;
        default:
            return res::IDS_UPDATE_FAILED;
    }
}

// Sets `finished` when the procedure ends, whichever way it ends.
struct FinishedOnExit {
    CUpdateWorker& worker;
    ~FinishedOnExit() { worker.finished.store(1, std::memory_order_release); }
};

}  // namespace

std::int32_t UpdateThreadProc(CUpdateWorker* worker) {
    FinishedOnExit finish{*worker};
    std::optional<std::uint16_t> failure;
    try {
        if (worker->facade == nullptr || worker->firmware == nullptr) {
            throw DeviceException(exception_code::kDeviceOperationFailed);
        }
        RunSteps(*worker->facade, *worker->firmware, worker->progress);
        worker->succeeded.store(1, std::memory_order_release);
        return 0;
    } catch (const std::bad_alloc&) {
        failure = res::IDS_OUT_OF_MEMORY;
    } catch (const DeviceException& e) {
        failure = MessageFor(e);
    } catch (...) {
        failure = res::IDS_UPDATE_FAILED;
    }
    worker->progress.Stop();
    try {
        const auto messages = worker->owner != nullptr ? CMessageDisplay(*worker->owner)
                                                       : CMessageDisplay(worker->ui);
        messages.Show(*failure, ui::MB_ICONEXCLAMATION);
    } catch (...) {
        // Not even the message could be shown; the dialog still learns of the failure.
    }
    return -1;
}
