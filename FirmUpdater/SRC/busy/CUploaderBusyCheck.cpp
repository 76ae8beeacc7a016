#include "CUploaderBusyCheck.h"

#include <stdexcept>

#include "PlatformServices.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "TextConversion.h"
#include "UiLanguage.h"

CUploaderBusyCheck::CUploaderBusyCheck(IWindowTitleSearch& windows, NamedMutexFactory createMutex)
    : windows_(windows), createMutex_(std::move(createMutex)) {}

CUploaderBusyCheck::~CUploaderBusyCheck() {
    ReleaseUploaderMutex();
}

bool CUploaderBusyCheck::WindowExists(std::uint16_t titleId) {
    // The companion programs' titles are those of the interface language.
    return windows_.HasWindowTitled(LoadText(titleId));
}

bool CUploaderBusyCheck::IsUploaderBusy() {
    if (mutex_) {
        lastFinding_ = "free, the lock is still held by this tool";
        return false;  // an earlier check took the lock; it is still ours
    }
    // The lock's name is shared with the companion programs and is the same in every
    // language, so it comes from the neutral lookup, not the interface language.
    const auto name = res::LoadString(
        res::IDS_UPLOADER_MUTEX, 0, static_cast<std::uint16_t>(platform::ThreadLocale().Current()));
    mutex_ = createMutex_(name);
    if (!mutex_) {
        throw std::runtime_error("the uploader lock could not be created");
    }
    if (!mutex_->Wait(kMutexWait)) {
        // Someone else holds the lock: busy only when one of them shows a window.
        mutex_.reset();
        for (const auto id : {res::IDS_TITLE_UPLOADER, res::IDS_TITLE_RECORD_LIST,
                              res::IDS_APP_CAPTION, res::IDS_TITLE_SECOND_UPLOADER}) {
            if (WindowExists(id)) {
                lastFinding_ = "busy: the lock is held elsewhere and a window titled \"" +
                               common::WideToUtf8(LoadText(id)) + "\" shows";
                return true;
            }
        }
        lastFinding_ = "free: the lock is held elsewhere, but no companion window shows";
    } else {
        lastFinding_ = "free, lock taken";
    }
    if (WindowExists(res::IDS_TITLE_PRESET_TOOL)) {
        // The run ends right away; the lock goes without being let go first.
        mutex_.reset();
        lastFinding_ = "busy: a window titled \"" +
                       common::WideToUtf8(LoadText(res::IDS_TITLE_PRESET_TOOL)) + "\" shows";
        return true;
    }
    return false;
}

void CUploaderBusyCheck::ReleaseUploaderMutex() {
    if (mutex_) {
        mutex_->Release();
        mutex_.reset();
    }
}
