// The update's worker thread runs one nice step below the thread that starts it.

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "COrnaFirmware.h"
#include "CTalvenComm.h"
#include "CUpdateWorker.h"
#include "ImageBuilder.h"
#include "Linux_ThreadPriority.h"
#include "ScriptedUi.h"
#include "VirtualWatch_HidPlatform.h"

namespace {

using firmware::ImageBuilder;

ImageBuilder Identity(std::uint8_t flags) {
    return ImageBuilder().Identity(0x3A7C, 0x0A51, "612E", flags);
}

class Worker : public testing::Test {};

// Notes what the worker thread sees when the update reaches its sector erase.
class ObservingFacade : public CTalvenComm {
  public:
    using CTalvenComm::CTalvenComm;
    std::int32_t FlashSectorErase(std::uint32_t, std::uint32_t) override {
        thread = std::this_thread::get_id();
        nice = Linux_ThreadPriority::CallingThreadNice();
        running = worker != nullptr && worker->IsRunning();
        return 0;
    }
    CUpdateWorker* worker = nullptr;
    std::thread::id thread;
    int nice = 0;
    bool running = false;
};

TEST_F(Worker, StartRunsTheUpdateOnItsOwnThreadOneStepBelowNormal) {
    ui::ScriptedUi ui;
    ArmillonDevice::VirtualWatch_HidPlatform noWatches;
    ObservingFacade observing(noWatches);
    COrnaFirmware image(Identity(0).SectorErase(1, 1).Build(), L"", nullptr);
    const int ownNice = Linux_ThreadPriority::CallingThreadNice();
    {
        CUpdateWorker worker(ui, nullptr, &observing, &image);
        observing.worker = &worker;
        ASSERT_TRUE(worker.Start(nullptr));
        worker.WaitForThreadEnd();
        EXPECT_EQ(worker.finished.load(), 1);
        EXPECT_EQ(worker.succeeded.load(), 1);
        EXPECT_FALSE(worker.IsRunning());
    }
    EXPECT_NE(observing.thread, std::this_thread::get_id());
    EXPECT_EQ(observing.nice, std::min(ownNice + 1, 19));
    EXPECT_TRUE(observing.running) << "the thread ran only once it was stored";
    EXPECT_EQ(Linux_ThreadPriority::CallingThreadNice(), ownNice);
}

}  // namespace
