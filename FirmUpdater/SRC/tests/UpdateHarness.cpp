#include "UpdateHarness.h"

#include <gtest/gtest.h>

#include <sstream>

#include "COrnaFirmware.h"
#include "ImageLayout.h"
#include "Pause.h"
#include "ResourceLookup.h"
#include "UiLanguage.h"
#include "WatchChain.h"

bool FakeWindows::HasWindowTitled(const std::wstring& title) {
    std::lock_guard lock(mutex_);
    searched_.push_back(title);
    return open_.contains(title);
}

void FakeWindows::Open(const std::wstring& title) {
    std::lock_guard lock(mutex_);
    open_.insert(title);
}

std::vector<std::wstring> FakeWindows::Searched() const {
    std::lock_guard lock(mutex_);
    return searched_;
}

namespace {

class FakeLock : public INamedMutex {
  public:
    explicit FakeLock(std::shared_ptr<FakeLockState> state) : state_(std::move(state)) {}
    ~FakeLock() override {
        ++state_->destroyed;
        state_->heldHere = false;
    }
    bool Wait(std::chrono::milliseconds) override {
        state_->heldHere = !state_->heldElsewhere;
        return state_->heldHere;
    }
    void Release() override {
        ++state_->released;
        state_->heldHere = false;
    }

  private:
    std::shared_ptr<FakeLockState> state_;
};

}  // namespace

NamedMutexFactory FakeLockFactory(std::shared_ptr<FakeLockState> state) {
    return [state](const std::wstring& name) -> std::unique_ptr<INamedMutex> {
        if (state->failCreation) {
            state->failCreation();
        }
        ++state->created;
        state->name = name;
        return std::make_unique<FakeLock>(state);
    };
}

UpdateHarness::UpdateHarness() {
    InstallLocalZone(nullptr);
    previousHook_ = common::SetPauseHook([this](std::chrono::milliseconds length) {
        const bool onTestThread = std::this_thread::get_id() == testThread_;
        {
            std::lock_guard lock(pausesMutex_);
            pauses_.push_back({length, onTestThread});
        }
        if (onTestThread && length == std::chrono::milliseconds(100)) {
            // A dialog tick (or a pause between enumerations): the worker thread, when there
            // is one, needs real time to get on.
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return;
        }
        bus.Advance(length);
    });
}

UpdateHarness::~UpdateHarness() {
    common::SetPauseHook(std::move(previousHook_));
    InstallLocalZone(&previousZone_);
    uiLanguage = 0;
}

watchsim::VirtualWatch& UpdateHarness::AddWatch(watchsim::WatchConfig config) {
    auto& watch = bus.Add(std::move(config));
    platform.AddPort(&watch);
    return watch;
}

int UpdateHarness::Run(const std::vector<std::uint8_t>& image, std::vector<std::wstring> options) {
    return Run(image, std::move(options),
               [](ui::UiBackend& ui, std::vector<std::wstring> arguments, std::ostream& console,
                  const UpdaterPlatform& platform) {
                   return std::make_unique<CFWUpdaterAppApp>(ui, std::move(arguments), console,
                                                             platform);
               });
}

int UpdateHarness::Run(const std::vector<std::uint8_t>& image, std::vector<std::wstring> options,
                       const AppMaker& make) {
    std::vector<std::wstring> arguments{L"firmupdater"};
    if (const auto path = files.Write("image.bin", image); imageOnCommandLine) {
        arguments.push_back(path);
    }
    arguments.insert(arguments.end(), options.begin(), options.end());
    std::ostringstream console;
    const UpdaterPlatform wiring{&platform, &windows, FakeLockFactory(lock)};
    auto app = make(ui, std::move(arguments), console, wiring);
    app->InitInstance();
    heldLockDuringRun = app->HoldsUploaderMutex();
    return app->ExitInstance();
}

std::wstring UpdateHarness::Text(std::uint16_t id) {
    return LoadText(id);
}

std::vector<std::wstring> UpdateHarness::Texts(std::initializer_list<std::uint16_t> ids) const {
    std::vector<std::wstring> texts;
    for (const auto id : ids) {
        texts.push_back(Text(id));
    }
    return texts;
}

std::size_t UpdateHarness::Count(std::size_t watch, watchsim::CommandKind kind,
                                 std::optional<std::uint16_t> dataId) const {
    return ArmillonDevice::testing::CountRequests(bus.At(watch), kind, dataId);
}

std::vector<RecordedPause> UpdateHarness::Pauses() const {
    std::lock_guard lock(pausesMutex_);
    return pauses_;
}

std::size_t UpdateHarness::PausesOf(std::chrono::milliseconds length) const {
    std::size_t count = 0;
    for (const auto& pause : Pauses()) {
        count += pause.length == length ? 1 : 0;
    }
    return count;
}

void UpdateHarness::AnswerConfirmation(int button) {
    ui.Script([button](ui::ScriptedDialog& dialog) { dialog.Press(button); });
}

void UpdateHarness::ExpectHoldsImage(const watchsim::VirtualWatch& watch,
                                     const std::vector<std::uint8_t>& image) {
    const COrnaFirmware loaded(image, L"", nullptr);
    for (const auto& command : loaded.commands) {
        const std::vector<std::uint8_t> data(command.data, command.data + command.value2);
        switch (command.type) {
            case firmware::SECTION_FLASH_WRITE:
            case firmware::SECTION_FLASH_WRITE_44:
                EXPECT_EQ(watch.Flash(command.value1, data.size()), data)
                    << "flash at " << std::hex << command.value1;
                break;
            case firmware::SECTION_VERSION_BLOCK_1600:
            case firmware::SECTION_VERSION_BLOCK_1601:
            case firmware::SECTION_DATA_1604:
            case firmware::SECTION_DATA_1611:
            case firmware::SECTION_DATA_1614:
            case firmware::SECTION_DATA_1620: {
                const auto id = static_cast<std::uint16_t>(command.type & 0xFFFF);
                EXPECT_EQ(watch.SettingsBlock(id), data) << "block " << std::hex << id;
                break;
            }
            default:
                break;
        }
    }
}
