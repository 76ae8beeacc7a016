#pragma once
// A stand-in for the Win32 HID calls: HID interfaces listed by the set-up interface, and
// transfers scripted one by one (at once, pending, never ending, refused). Handles are
// tokens; the fake counts the ones still open and notes every open and every wait.
//
// Writes take the next scripted write when they start. A read takes the next scripted read
// when it starts if there is one; otherwise it stays pending, like a read posted before the
// watch has said anything, and takes the next scripted read when it is waited for (the
// report arrived meanwhile), or lets its time-out pass when none is scripted.

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "Windows_HidApi.h"

namespace ArmillonDevice::testing {

struct FakeInterface {
    std::wstring path;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    HIDP_CAPS caps{};
    // What goes wrong with this interface.
    bool detailSizeQuerySucceeds = false;
    DWORD reportedDetailSize = 0;  // 0: the size the path needs
    bool detailFails = false;
    bool attributeOpenFails = false;
    bool attributesFail = false;
    bool exclusiveOpenFails = false;
    bool sharedOpenFails = false;
    bool preparsedDataFails = false;
    NTSTATUS capsStatus = HIDP_STATUS_SUCCESS;
};

struct FakeTransfer {
    enum class Kind {
        AtOnce,        // ReadFile/WriteFile returns TRUE with `count`
        Pending,       // returns pending; ends within the time-out with `count` and `error`
        NeverEnds,     // returns pending; ends only when cancelled
        WaitFails,     // returns pending; the wait itself fails
        EndsAtCancel,  // returns pending; not ended at the time-out, but ended with
                       // `count` before the cancellation took hold
        Refused,       // returns FALSE with `error`, and so does every later transfer that way
    };
    Kind kind = Kind::AtOnce;
    DWORD count = 0;  // bytes moved; for reads, the first `count` bytes of `report`
    DWORD error = ERROR_SUCCESS;
    std::vector<std::uint8_t> report;  // what a read delivers
};

struct FakeOpen {
    std::wstring path;
    DWORD access;
    DWORD share;
    DWORD flags;
};

class FakeHidApi : public Windows_HidApi {
  public:
    std::vector<FakeInterface> interfaces;
    bool classListFails = false;
    bool eventFails = false;
    std::deque<FakeTransfer> reads;   // what the watch sends, in order
    std::deque<FakeTransfer> writes;  // how each WriteFile goes, in order

    // What the code under test did.
    std::vector<FakeOpen> opens;
    std::vector<std::vector<std::uint8_t>> written;  // whole reports handed to WriteFile
    std::vector<DWORD> waits;                        // time-outs of WaitForSingleObject
    int cancels = 0;
    int eventsCreated = 0;
    int classListsDestroyed = 0;
    int preparsedFreed = 0;
    // An event or buffer released while its transfer could still use it.
    bool releasedWhilePending = false;

    int OpenHandles() const { return static_cast<int>(handles_.size()); }

    // The watch leaves the bus. A read waiting for a report gets the next scripted one (it
    // arrived before), or else ends with ERROR_DEVICE_NOT_CONNECTED; from then on every
    // transfer is refused so.
    void Unplug();
    // Windows cancels the reads still waiting for a report, as it does those of a thread
    // that ends.
    void CancelWaitingReads();

    void HidD_GetHidGuid(GUID* guid) override;
    HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, DWORD flags) override;
    BOOL SetupDiEnumDeviceInterfaces(HDEVINFO list, const GUID* classGuid, DWORD index,
                                     SP_DEVICE_INTERFACE_DATA* data) override;
    BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO list, SP_DEVICE_INTERFACE_DATA* data,
                                          SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail,
                                          DWORD detailSize, DWORD* requiredSize) override;
    BOOL SetupDiDestroyDeviceInfoList(HDEVINFO list) override;
    BOOLEAN HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes) override;
    BOOLEAN HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* data) override;
    BOOLEAN HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data) override;
    NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) override;
    HANDLE CreateFileW(const wchar_t* path, DWORD access, DWORD share, DWORD flags) override;
    BOOL CloseHandle(HANDLE handle) override;
    HANDLE CreateEventW() override;
    BOOL ReadFile(HANDLE file, void* buffer, DWORD length, DWORD* transferred,
                  OVERLAPPED* overlapped) override;
    BOOL WriteFile(HANDLE file, const void* data, DWORD length, DWORD* transferred,
                   OVERLAPPED* overlapped) override;
    BOOL GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* transferred,
                             BOOL wait) override;
    DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) override;
    BOOL CancelIoEx(HANDLE file, OVERLAPPED* overlapped) override;
    DWORD GetLastError() override { return lastError_; }

  private:
    struct Handle {
        enum class Kind { Device, Event } kind;
        std::size_t interfaceIndex = 0;
    };
    struct InFlight {
        FakeTransfer transfer;
        HANDLE file;
        void* buffer;
        DWORD length;
        bool waitsForReport = false;  // a read with no scripted report yet
        bool ended = false;
        bool cancelled = false;
    };

    HANDLE NewHandle(Handle handle);
    const FakeInterface* DeviceOf(HANDLE handle) const;
    BOOL StartTransfer(HANDLE file, void* buffer, DWORD length, DWORD* transferred,
                       OVERLAPPED* overlapped, bool isRead);
    void End(InFlight& transfer);
    // Hands a read that waits for a report the next scripted one; false when none is.
    bool TakeReport(InFlight& transfer);

    std::map<HANDLE, Handle> handles_;
    std::map<OVERLAPPED*, InFlight> inFlight_;
    std::uintptr_t nextHandle_ = 0x100;
    DWORD lastError_ = ERROR_SUCCESS;
    bool unplugged_ = false;
    GUID hidClass_{0x4d1e55b2, 0xf16f, 0x11cf, {0x88, 0xcb, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};
    HDEVINFO classList_ = reinterpret_cast<HDEVINFO>(0x5e7);
};

}  // namespace ArmillonDevice::testing
