// The update worker: how each entry of the command list reaches the watch, the end-of-update
// commands, the failure messages, and the thread it runs on.

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>
#include <thread>

#include "ArmillonException.h"
#include "COrnaFirmware.h"
#include "CTalvenComm.h"
#include "CUpdateWorker.h"
#include "ImageBuilder.h"
#include "Linux_ThreadPriority.h"
#include "MessageBoxRequest.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "ScopedLocaleEnvironment.h"
#include "ScriptedUi.h"
#include "Transcript.h"
#include "UiLanguage.h"
#include "VirtualWatch_HidPlatform.h"
#include "WatchChain.h"

namespace {

using firmware::ImageBuilder;
using watchsim::CommandKind;
using Kinds = std::vector<CommandKind>;

ImageBuilder Identity(std::uint8_t flags) {
    return ImageBuilder().Identity(0x3A7C, 0x0A51, "612E", flags);
}

// One stock watch, connected through the facade, its requests cleared: what the worker
// finds when the user has said Yes.
struct ConnectedWatch {
    ConnectedWatch() {
        EXPECT_TRUE(facade.Connect(0x3A7C, 0x0A51, L"612E"));
        watch.ClearRequests();
    }

    // Runs the update on the calling thread; the worker's flags stay readable in `worker`.
    std::int32_t Run(const std::vector<std::uint8_t>& bytes) {
        image = std::make_unique<COrnaFirmware>(bytes, L"", nullptr);
        worker = std::make_unique<CUpdateWorker>(ui, nullptr, &facade, image.get());
        return UpdateThreadProc(worker.get());
    }

    Kinds Requests() const {
        Kinds kinds;
        for (const auto& request : watch.Requests()) {
            kinds.push_back(request.what.kind);
        }
        return kinds;
    }

    watchsim::WatchBus bus;
    watchsim::VirtualWatch& watch = bus.Add();
    ArmillonDevice::VirtualWatch_HidPlatform platform{{&watch}};
    ArmillonDevice::testing::VirtualTimePauses pauses{bus};
    CTalvenComm facade{platform};
    ui::ScriptedUi ui;
    std::unique_ptr<COrnaFirmware> image;
    std::unique_ptr<CUpdateWorker> worker;
};

class Worker : public testing::Test {
  protected:
    void TearDown() override { uiLanguage = 0; }

    ScopedLocaleEnvironment locale{nullptr, nullptr, "C"};
};

TEST_F(Worker, EachEntryAndEachFlagReachesTheWatchInOrder) {
    const std::wstring failed = L"Failed to update the KORVELIN.";
    const struct {
        const char* what;
        ImageBuilder image;
        Kinds requests;
        bool succeeds;
    } cases[] = {
        {"identity only, no flags", Identity(0), {CommandKind::Disconnect}, true},
        {"flag 2: command 0x31, the watch leaves", Identity(2), {CommandKind::Command31}, true},
        {"flag 4: command 0x32", Identity(4), {CommandKind::Command32}, true},
        {"the last identity's flags count",
         Identity(0).DataSection(firmware::SECTION_DEVICE_IDENTITY, 0,
                                 firmware::IdentityData(0x3A7C, 0x0A51, "612E", 2)),
         {CommandKind::Command31},
         true},
        {"skipped types and a type of no meaning pass without traffic",
         Identity(0)
             .DataSection(firmware::SECTION_201603, 0, {1})
             .DataSection(firmware::SECTION_201613, 0, {2})
             .DataSection(0x00123456, 7, {3}),
         {CommandKind::Disconnect},
         true},
        {"an erase of no sectors sends nothing",
         Identity(0).SectorErase(3, 0),
         {CommandKind::Disconnect},
         true},
        {"one erase request per sector",
         Identity(0).SectorErase(3, 2),
         {CommandKind::SectorErase, CommandKind::SectorErase, CommandKind::Disconnect},
         true},
        {"0x44 writes with the first area's command",
         Identity(0).DataSection(firmware::SECTION_FLASH_WRITE_44, 0x3000, {9, 8, 7}),
         {CommandKind::FlashWrite, CommandKind::Disconnect},
         true},
        {"a command entry, then entries that need no watch",
         Identity(0)
             .Command(firmware::SECTION_COMMAND_30)
             .DataSection(firmware::SECTION_201603, 0, {1})
             .DataSection(0x00123456, 7, {3}),
         {CommandKind::Command30},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ConnectedWatch t;
        EXPECT_EQ(t.Run(c.image.Build()), c.succeeds ? 0 : -1);
        EXPECT_EQ(t.worker->finished, 1);
        EXPECT_EQ(t.worker->succeeded, c.succeeds ? 1 : 0);
        EXPECT_EQ(t.Requests(), c.requests);
        const auto boxes = t.ui.MessageBoxes();
        ASSERT_EQ(boxes.size(), c.succeeds ? 0u : 1u);
        if (!c.succeeds) {
            EXPECT_EQ(boxes[0].text.rfind(failed, 0), 0u);
            EXPECT_EQ(boxes[0].style, ui::MB_ICONEXCLAMATION | ui::MB_TOPMOST);
        }
    }
}

TEST_F(Worker, BlocksAndFlashGoWhereTheirSectionsSay) {
    const auto image = Identity(0)
                           .VersionBlock(firmware::SECTION_VERSION_BLOCK_1600, "01.30", 0x80000)
                           .VersionBlock(firmware::SECTION_VERSION_BLOCK_1601, "01.31", 0x80000)
                           .DataSection(firmware::SECTION_DATA_1604, 0, {4})
                           .DataSection(firmware::SECTION_DATA_1611, 0, {0x11, 0x11})
                           .DataSection(firmware::SECTION_DATA_1614, 0, {0x14})
                           .DataSection(firmware::SECTION_DATA_1620, 0, {0x20, 0x20, 0x20})
                           .DataSection(firmware::SECTION_FLASH_WRITE, 0x5000, {1, 2, 3, 4})
                           .Build();
    ConnectedWatch t;
    EXPECT_EQ(t.Run(image), 0);
    std::vector<std::uint16_t> blocks;
    for (const auto& request : t.watch.Requests()) {
        if (request.what.kind == CommandKind::DataSet) {
            blocks.push_back(request.what.dataId.value_or(0));
        }
    }
    EXPECT_EQ(blocks, (std::vector<std::uint16_t>{0x1600, 0x1601, 0x1604, 0x1611, 0x1614, 0x1620}));
    EXPECT_EQ(t.watch.SettingsBlock(0x1620), (std::vector<std::uint8_t>{0x20, 0x20, 0x20}));
    EXPECT_EQ(t.watch.SettingsBlock(0x1601)->size(), 0x80000u);
    EXPECT_EQ(t.watch.Flash(0x5000, 4), (std::vector<std::uint8_t>{1, 2, 3, 4}));
}

// Notes how far the progress had come when each flash write returned.
class ProgressWatchingFacade : public CTalvenComm {
  public:
    using CTalvenComm::CTalvenComm;
    std::int32_t FlashWrite(std::uint32_t address, std::uint32_t byteCount,
                            const std::uint8_t* buffer) override {
        const auto result = CTalvenComm::FlashWrite(address, byteCount, buffer);
        sentAfterWrite.push_back(worker->progress.Sent());
        return result;
    }
    CUpdateWorker* worker = nullptr;
    std::vector<std::uint64_t> sentAfterWrite;
};

TEST_F(Worker, ProgressCountsTheRequestBytesOfEveryStepAndStopsWhereTheUpdateFailed) {
    // Request blocks: a data set of 1 byte is 19 bytes, a flash write of 4 is 17, each
    // erased sector 7.
    const auto bytes = Identity(0)
                           .DataSection(firmware::SECTION_DATA_1604, 0, {4})
                           .DataSection(firmware::SECTION_FLASH_WRITE, 0x5000, {1, 2, 3, 4})
                           .SectorErase(1, 2)
                           .Build();
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails);
        watchsim::WatchBus bus;
        auto& watch = bus.Add();
        ArmillonDevice::VirtualWatch_HidPlatform platform{{&watch}};
        ArmillonDevice::testing::VirtualTimePauses pauses{bus};
        ProgressWatchingFacade facade{platform};
        ASSERT_TRUE(facade.Connect(0x3A7C, 0x0A51, L"612E"));
        std::ostringstream transcriptText;
        common::Transcript transcript;
        transcript.AddStream(transcriptText);
        facade.SetTranscript(&transcript);
        if (fails) {
            watch.AddFaults("write:error=0x0101");
        }
        ui::ScriptedUi ui;
        COrnaFirmware image(bytes, L"", nullptr);
        CUpdateWorker worker(ui, nullptr, &facade, &image);
        facade.worker = &worker;

        EXPECT_EQ(UpdateThreadProc(&worker), fails ? -1 : 0);
        EXPECT_EQ(worker.progress.Total(), 19u + 17u + 14u);
        // Every byte of the write was heard from the writer before the step ended, and the
        // retries sending it again counted nothing more.
        ASSERT_FALSE(facade.sentAfterWrite.empty());
        EXPECT_EQ(facade.sentAfterWrite.back(), 19u + 17u);
        EXPECT_EQ(worker.progress.Sent(), fails ? 19u + 17u : 19u + 17u + 14u);
        EXPECT_EQ(worker.progress.Stopped(), fails);

        const auto text = transcriptText.str();
        EXPECT_NE(text.find("update: 3 steps, 50 bytes to send"), std::string::npos) << text;
        if (fails) {
            EXPECT_NE(text.find("step 2/3: FlashWrite at 0x00005000: device error 0x0101 after 2 "
                                "retries (entry 2, section 0x00410000"),
                      std::string::npos)
                << text;
            EXPECT_NE(text.find("retry 2 of 2 after device error 0x0101: pause 3000 ms"),
                      std::string::npos)
                << text;
            EXPECT_NE(text.find("retry: the same watch answered"), std::string::npos) << text;
            EXPECT_EQ(text.find("step 3/3"), std::string::npos) << text;
        } else {
            EXPECT_NE(text.find("step 3/3: FlashSectorErase of 2 sector(s) from 1: ok"),
                      std::string::npos)
                << text;
        }
    }
}

// A facade whose sector erase does what the test says instead of asking the watch.
class ErasingFacade : public CTalvenComm {
  public:
    using CTalvenComm::CTalvenComm;
    std::int32_t FlashSectorErase(std::uint32_t, std::uint32_t) override { return erase(); }
    std::function<std::int32_t()> erase;
};

TEST_F(Worker, EveryFailureEndsWithItsMessageAndTheFlagsSay) {
    const struct {
        const char* what;
        std::function<std::int32_t()> erase;
        std::uint16_t language;
        std::uint16_t message;
    } cases[] = {
        {"a device error", [] { return 0x0102; }, res::LANG_ENGLISH, res::IDS_UPDATE_FAILED},
        {"out of memory", []() -> std::int32_t { throw std::bad_alloc(); }, res::LANG_ENGLISH,
         res::IDS_OUT_OF_MEMORY},
        {"out of memory, Russian (which lacks the text)",
         []() -> std::int32_t { throw std::bad_alloc(); }, res::LANG_RUSSIAN,
         res::IDS_OUT_OF_MEMORY},
        {"another device", []() -> std::int32_t { throw DeviceException(275); }, res::LANG_ENGLISH,
         res::IDS_OTHER_DEVICE},
        {"communication", []() -> std::int32_t { throw DeviceException(276); }, res::LANG_ENGLISH,
         res::IDS_COMMUNICATION_ERROR},
        {"another device code", []() -> std::int32_t { throw DeviceException(272); },
         res::LANG_ENGLISH, res::IDS_UPDATE_FAILED},
        {"an application code", []() -> std::int32_t { throw ArmillonException(275); },
         res::LANG_ENGLISH, res::IDS_UPDATE_FAILED},
        {"anything else", []() -> std::int32_t { throw std::runtime_error("x"); },
         res::LANG_ENGLISH, res::IDS_UPDATE_FAILED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SelectUiLanguage(c.language);
        ui::ScriptedUi fresh;
        ArmillonDevice::VirtualWatch_HidPlatform noWatches;
        ErasingFacade throwing(noWatches);
        throwing.erase = c.erase;
        COrnaFirmware image(Identity(1).SectorErase(1, 1).Build(), L"", nullptr);
        CUpdateWorker worker(fresh, nullptr, &throwing, &image);
        EXPECT_EQ(UpdateThreadProc(&worker), -1);
        EXPECT_EQ(worker.finished, 1);
        EXPECT_EQ(worker.succeeded, 0);
        const auto boxes = fresh.MessageBoxes();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, LoadText(c.message));
        EXPECT_FALSE(boxes[0].text.empty());
        EXPECT_EQ(boxes[0].language, c.language);
        EXPECT_EQ(boxes[0].style, ui::MB_ICONEXCLAMATION | ui::MB_TOPMOST);
    }
}

TEST_F(Worker, WithoutAFacadeOrImageTheUpdateFails) {
    ui::ScriptedUi ui;
    CUpdateWorker worker(ui, nullptr, nullptr, nullptr);
    EXPECT_EQ(UpdateThreadProc(&worker), -1);
    EXPECT_EQ(worker.finished, 1);
    EXPECT_EQ(ui.MessageBoxes().size(), 1u);
}

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
