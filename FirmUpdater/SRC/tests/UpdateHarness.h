#pragma once
// The whole tool in-process for tests: the application on the scripted interface, virtual
// watches behind the virtual HID platform, and fakes for the two busy signals. Every pause
// is recorded and none is slept through: device pauses move the watches' clock on, and the
// dialogs' 100 ms ticks on the test's thread yield for a millisecond so the worker thread
// gets on while the progress dialog polls it.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "CFWUpdaterAppApp.h"
#include "CommandKind.h"
#include "ILocalZone.h"
#include "ImageFiles.h"
#include "Pause.h"
#include "ScopedThreadLocale.h"
#include "ScriptedUi.h"
#include "VirtualWatch_HidPlatform.h"
#include "WatchBus.h"

// Windows of other programs, by title.
class FakeWindows : public IWindowTitleSearch {
  public:
    bool HasWindowTitled(const std::wstring& title) override;
    void Open(const std::wstring& title);
    // The titles asked for, in order.
    std::vector<std::wstring> Searched() const;

  private:
    mutable std::mutex mutex_;
    std::set<std::wstring> open_;
    std::vector<std::wstring> searched_;
};

// The uploader lock as the other programs see it.
struct FakeLockState {
    bool heldElsewhere = false;
    // When set, creating the lock runs this instead (to throw what the test wants).
    std::function<void()> failCreation;
    std::wstring name;  // the name it was last created with
    int created = 0;
    int destroyed = 0;
    int released = 0;
    bool heldHere = false;
};

struct LockCreationFailed : std::runtime_error {
    LockCreationFailed() : std::runtime_error("no lock") {}
};
inline void ThrowLockCreationFailed() {
    throw LockCreationFailed();
}

NamedMutexFactory FakeLockFactory(std::shared_ptr<FakeLockState> state);

// A recorded pause: its length and whether the test's own thread asked for it.
struct RecordedPause {
    std::chrono::milliseconds length;
    bool onTestThread;
    bool operator==(const RecordedPause&) const = default;
};

class UpdateHarness {
  public:
    UpdateHarness();
    ~UpdateHarness();

    watchsim::VirtualWatch& AddWatch(watchsim::WatchConfig config = {});
    // A watch of the stock model on the bus from the start.
    watchsim::VirtualWatch& Watch(std::size_t index = 0) const { return bus.At(index); }

    // Writes the image and runs the program on it with the options; the exit code.
    int Run(const std::vector<std::uint8_t>& image, std::vector<std::wstring> options = {});
    // The same with an application object made by `make` (for one with overridden steps).
    using AppMaker = std::function<std::unique_ptr<CFWUpdaterAppApp>(
        ui::UiBackend&, std::vector<std::wstring>, std::ostream&, const UpdaterPlatform&)>;
    int Run(const std::vector<std::uint8_t>& image, std::vector<std::wstring> options,
            const AppMaker& make);

    // The message texts shown, by string ID in the interface language.
    std::vector<std::wstring> Messages() const { return ui.MessageTexts(); }
    static std::wstring Text(std::uint16_t id);
    std::vector<std::wstring> Texts(std::initializer_list<std::uint16_t> ids) const;

    std::size_t Count(std::size_t watch, watchsim::CommandKind kind,
                      std::optional<std::uint16_t> dataId = std::nullopt) const;
    std::vector<RecordedPause> Pauses() const;
    std::size_t PausesOf(std::chrono::milliseconds length) const;

    // The confirmation dialog answered with a button.
    void AnswerConfirmation(int button);

    // Checks that the watch holds every flash section and settings block of the image.
    static void ExpectHoldsImage(const watchsim::VirtualWatch& watch,
                                 const std::vector<std::uint8_t>& image);

    ScopedThreadLocale locale{IThreadLocale::kInvariant};
    watchsim::WatchBus bus;
    ArmillonDevice::VirtualWatch_HidPlatform platform;
    FakeWindows windows;
    std::shared_ptr<FakeLockState> lock = std::make_shared<FakeLockState>();
    ui::ScriptedUi ui;
    ImageFiles files;
    bool heldLockDuringRun = false;  // HoldsUploaderMutex() when the flow had finished
    bool imageOnCommandLine = true;  // false: the image is written, but not passed

  private:
    // The watch's clock is set from UTC: no test depends on the machine's zone, and no run
    // pays for finding the zone's rules (slow where each sample asks the system).
    ILocalZone& previousZone_ = PlatformLocalZone();
    const std::thread::id testThread_ = std::this_thread::get_id();
    mutable std::mutex pausesMutex_;
    std::vector<RecordedPause> pauses_;
    common::PauseFunction previousHook_;
};
