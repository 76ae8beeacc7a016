// The busy check: the uploader lock and the companion programs' windows.

#include <gtest/gtest.h>

#include "CUploaderBusyCheck.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "UiLanguage.h"
#include "UpdateHarness.h"

namespace {

const std::wstring kUploader = L"Kavel Pelmora";
const std::wstring kRecordList = L"Arm Unit Record List";
const std::wstring kThisTool = L"KORVELIN firmware update tool";
const std::wstring kSecondUploader = L"Kavel Sorvin Uploader";
const std::wstring kPresetTool = L"Model Preset Tool";

class BusyCheck : public testing::Test {
  protected:
    void SetUp() override { SelectUiLanguage(res::LANG_ENGLISH); }
    void TearDown() override { uiLanguage = 0; }

    FakeWindows windows;
    std::shared_ptr<FakeLockState> lock = std::make_shared<FakeLockState>();
    CUploaderBusyCheck check{windows, FakeLockFactory(lock)};
};

TEST_F(BusyCheck, TheLockAndTheWindowsDecide) {
    const struct {
        const char* what;
        bool heldElsewhere;
        std::vector<std::wstring> windows;
        bool busy;
        bool holdsLock;
        std::vector<std::wstring> searched;
    } cases[] = {
        {"nobody about", false, {}, false, true, {kPresetTool}},
        {"a companion window but the lock is free", false, {kUploader}, false, true, {kPresetTool}},
        {"the settings tool", false, {kPresetTool}, true, false, {kPresetTool}},
        {"lock held, uploader window", true, {kUploader}, true, false, {kUploader}},
        {"lock held, record list", true, {kRecordList}, true, false, {kUploader, kRecordList}},
        {"lock held, another copy of this tool",
         true,
         {kThisTool},
         true,
         false,
         {kUploader, kRecordList, kThisTool}},
        {"lock held, second uploader",
         true,
         {kSecondUploader},
         true,
         false,
         {kUploader, kRecordList, kThisTool, kSecondUploader}},
        {"lock held, settings tool",
         true,
         {kPresetTool},
         true,
         false,
         {kUploader, kRecordList, kThisTool, kSecondUploader, kPresetTool}},
        {"lock held, no window: go on without it",
         true,
         {},
         false,
         false,
         {kUploader, kRecordList, kThisTool, kSecondUploader, kPresetTool}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeWindows windows;
        for (const auto& title : c.windows) {
            windows.Open(title);
        }
        auto state = std::make_shared<FakeLockState>();
        state->heldElsewhere = c.heldElsewhere;
        CUploaderBusyCheck check(windows, FakeLockFactory(state));
        EXPECT_EQ(check.IsUploaderBusy(), c.busy);
        EXPECT_EQ(check.HoldsUploaderMutex(), c.holdsLock);
        EXPECT_EQ(state->heldHere, c.holdsLock);
        EXPECT_EQ(windows.Searched(), c.searched);
        EXPECT_EQ(state->released, 0) << "a lock given up here was never let go";
        EXPECT_EQ(state->name,
                  L"KAVEL Uploader Tool_7C2E91B4-3D58-4A0F-B6E1-95D0A43F28C7 IS UPLOADING NOW");
    }
}

TEST_F(BusyCheck, OnceTheLockIsHeldLaterChecksAnswerAtOnce) {
    ASSERT_FALSE(check.IsUploaderBusy());
    windows.Open(kPresetTool);
    EXPECT_FALSE(check.IsUploaderBusy());
    EXPECT_EQ(lock->created, 1);
    EXPECT_EQ(windows.Searched().size(), 1u);

    check.ReleaseUploaderMutex();
    EXPECT_EQ(lock->released, 1);
    EXPECT_FALSE(check.HoldsUploaderMutex());
}

TEST_F(BusyCheck, AfterALockHeldElsewhereTheNextCheckTriesAgain) {
    lock->heldElsewhere = true;
    ASSERT_FALSE(check.IsUploaderBusy());
    lock->heldElsewhere = false;
    EXPECT_FALSE(check.IsUploaderBusy());
    EXPECT_EQ(lock->created, 2);
    EXPECT_TRUE(check.HoldsUploaderMutex());
}

TEST_F(BusyCheck, CompanionTitlesAreThoseOfTheInterfaceLanguage) {
    SelectUiLanguage(res::LANG_JAPANESE);
    lock->heldElsewhere = true;
    check.IsUploaderBusy();
    ASSERT_FALSE(windows.Searched().empty());
    EXPECT_EQ(windows.Searched()[0],
              res::LoadString(res::IDS_TITLE_UPLOADER, res::LANG_JAPANESE, 0));
    EXPECT_EQ(windows.Searched()[2], res::LoadString(res::IDS_APP_CAPTION, res::LANG_JAPANESE, 0));
}

TEST_F(BusyCheck, ALockThatCannotBeCreatedThrows) {
    lock->failCreation = ThrowLockCreationFailed;
    EXPECT_THROW(check.IsUploaderBusy(), LockCreationFailed);
    EXPECT_FALSE(check.HoldsUploaderMutex());
}

}  // namespace
