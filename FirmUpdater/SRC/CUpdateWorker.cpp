#include "CUpdateWorker.h"

#include <exception>
#include <future>

#include "PlatformServices.h"

CUpdateWorker::CUpdateWorker(ui::UiBackend& ui, const ui::Dialog* dialog, CTalvenComm* facade,
                             COrnaFirmware* firmware)
    : facade(facade), firmware(firmware), owner(dialog), ui(ui) {}

CUpdateWorker::~CUpdateWorker() {
    WaitForThreadEnd();
}

bool CUpdateWorker::IsRunning() {
    return thread.joinable() && !threadEnded_.load(std::memory_order_acquire);
}

void CUpdateWorker::WaitForThreadEnd() {
    if (thread.joinable()) {
        thread.join();
    }
}

bool CUpdateWorker::Start(ui::Dialog* /*window*/) {
    if (IsRunning()) {
        return true;
    }
    WaitForThreadEnd();  // a thread of an earlier run has ended; let it go
    threadEnded_.store(false, std::memory_order_relaxed);
    try {
        // The thread waits at this gate until it is stored, as if created suspended.
        std::promise<void> gate;
        auto opened = gate.get_future();
        thread = std::thread([this, opened = std::move(opened)]() mutable {
            opened.wait();
            platform::ThreadPriority().LowerCallingThreadOneStep();
            try {
                UpdateThreadProc(this);
            } catch (...) {
                // UpdateThreadProc handles its own failures; should anything slip through,
                // the dialog must still learn that the update has ended.
                finished.store(1, std::memory_order_release);
            }
            threadEnded_.store(true, std::memory_order_release);
        });
        gate.set_value();
    } catch (const std::exception&) {
        return false;  // no thread, or no memory for its start
    }
    return true;
}
