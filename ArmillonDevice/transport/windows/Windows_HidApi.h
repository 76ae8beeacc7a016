#pragma once
// The Win32 calls the HID backend makes, behind one interface so that tests can stand in for
// the system: a fake produces what no real or virtual device produces on demand (transfers
// that never complete, short transfers, a device that leaves mid-transfer, failed capability
// queries, no event). Each operation has the signature of the call it forwards to.
//
// The system implementation reaches HID.DLL and SETUPAPI.dll through LoadLibraryExW from the
// system folder alone, never by import: Windows would look for an imported DLL that is not
// a known system DLL beside the program first, and a stand-in there would run inside the
// tool. Where a library or one of its functions is missing, its calls fail (no device is
// found, none opens).

#include <memory>

#include "Windows_HidHeaders.h"

namespace ArmillonDevice {

class Windows_HidApi {
  public:
    virtual ~Windows_HidApi() = default;

    // The calls of the real system; shared by every backend object of the process.
    static std::shared_ptr<Windows_HidApi> System();

    // Device set-up and HID class driver.
    virtual void HidD_GetHidGuid(GUID* guid) = 0;
    virtual HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, DWORD flags) = 0;
    virtual BOOL SetupDiEnumDeviceInterfaces(HDEVINFO list, const GUID* classGuid, DWORD index,
                                             SP_DEVICE_INTERFACE_DATA* data) = 0;
    virtual BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO list, SP_DEVICE_INTERFACE_DATA* data,
                                                  SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail,
                                                  DWORD detailSize, DWORD* requiredSize) = 0;
    virtual BOOL SetupDiDestroyDeviceInfoList(HDEVINFO list) = 0;
    virtual BOOLEAN HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes) = 0;
    virtual BOOLEAN HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* data) = 0;
    virtual BOOLEAN HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data) = 0;
    virtual NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) = 0;

    // Files, events and overlapped transfers. CreateFileW takes no security attributes and
    // no template; CreateEventW makes an unnamed manual-reset event, not signalled.
    virtual HANDLE CreateFileW(const wchar_t* path, DWORD access, DWORD share, DWORD flags) = 0;
    virtual BOOL CloseHandle(HANDLE handle) = 0;
    virtual HANDLE CreateEventW() = 0;
    virtual BOOL ReadFile(HANDLE file, void* buffer, DWORD length, DWORD* transferred,
                          OVERLAPPED* overlapped) = 0;
    virtual BOOL WriteFile(HANDLE file, const void* data, DWORD length, DWORD* transferred,
                           OVERLAPPED* overlapped) = 0;
    virtual BOOL GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* transferred,
                                     BOOL wait) = 0;
    virtual DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) = 0;
    // Cancels the one transfer, whichever thread started it (the read posted when the device
    // opens may come from another thread than the one that waits for it).
    virtual BOOL CancelIoEx(HANDLE file, OVERLAPPED* overlapped) = 0;
    virtual DWORD GetLastError() = 0;

  protected:
    Windows_HidApi() = default;
    Windows_HidApi(const Windows_HidApi&) = default;
    Windows_HidApi& operator=(const Windows_HidApi&) = default;
};

}  // namespace ArmillonDevice
