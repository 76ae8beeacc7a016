#include "Windows_HidApi.h"

namespace ArmillonDevice {

namespace {

class SystemHidApi final : public Windows_HidApi {
  public:
    void HidD_GetHidGuid(GUID* guid) override { ::HidD_GetHidGuid(guid); }
    HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, DWORD flags) override {
        return ::SetupDiGetClassDevsW(classGuid, nullptr, nullptr, flags);
    }
    BOOL SetupDiEnumDeviceInterfaces(HDEVINFO list, const GUID* classGuid, DWORD index,
                                     SP_DEVICE_INTERFACE_DATA* data) override {
        return ::SetupDiEnumDeviceInterfaces(list, nullptr, classGuid, index, data);
    }
    BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO list, SP_DEVICE_INTERFACE_DATA* data,
                                          SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail,
                                          DWORD detailSize, DWORD* requiredSize) override {
        return ::SetupDiGetDeviceInterfaceDetailW(list, data, detail, detailSize, requiredSize,
                                                  nullptr);
    }
    BOOL SetupDiDestroyDeviceInfoList(HDEVINFO list) override {
        return ::SetupDiDestroyDeviceInfoList(list);
    }
    BOOLEAN HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes) override {
        return ::HidD_GetAttributes(device, attributes);
    }
    BOOLEAN HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* data) override {
        return ::HidD_GetPreparsedData(device, data);
    }
    BOOLEAN HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data) override {
        return ::HidD_FreePreparsedData(data);
    }
    NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) override {
        return ::HidP_GetCaps(data, caps);
    }
    HANDLE CreateFileW(const wchar_t* path, DWORD access, DWORD share, DWORD flags) override {
        return ::CreateFileW(path, access, share, nullptr, OPEN_EXISTING, flags, nullptr);
    }
    BOOL CloseHandle(HANDLE handle) override { return ::CloseHandle(handle); }
    HANDLE CreateEventW() override { return ::CreateEventW(nullptr, TRUE, FALSE, nullptr); }
    BOOL ReadFile(HANDLE file, void* buffer, DWORD length, DWORD* transferred,
                  OVERLAPPED* overlapped) override {
        return ::ReadFile(file, buffer, length, transferred, overlapped);
    }
    BOOL WriteFile(HANDLE file, const void* data, DWORD length, DWORD* transferred,
                   OVERLAPPED* overlapped) override {
        return ::WriteFile(file, data, length, transferred, overlapped);
    }
    BOOL GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* transferred,
                             BOOL wait) override {
        return ::GetOverlappedResult(file, overlapped, transferred, wait);
    }
    DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds) override {
        return ::WaitForSingleObject(handle, milliseconds);
    }
    BOOL CancelIo(HANDLE file) override { return ::CancelIo(file); }
    DWORD GetLastError() override { return ::GetLastError(); }
};

}  // namespace

std::shared_ptr<Windows_HidApi> Windows_HidApi::System() {
    static const auto system = std::make_shared<SystemHidApi>();
    return system;
}

}  // namespace ArmillonDevice
