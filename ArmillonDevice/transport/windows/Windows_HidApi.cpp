#include "Windows_HidApi.h"

namespace ArmillonDevice {

namespace {

// One function of a system library, or nothing when the library or the function is missing.
template <typename Function>
Function Find(HMODULE library, const char* name) {
    if (library == nullptr) {
        return nullptr;
    }
    // Through void (*)(): the one function pointer type every other one converts from.
    return reinterpret_cast<Function>(
        reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

HMODULE FromSystemFolder(const wchar_t* name) {
    return ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

class SystemHidApi final : public Windows_HidApi {
  public:
    SystemHidApi()
        : hid_(FromSystemFolder(L"hid.dll")), setup_(FromSystemFolder(L"setupapi.dll")) {}
    ~SystemHidApi() override {
        if (hid_ != nullptr) {
            ::FreeLibrary(hid_);
        }
        if (setup_ != nullptr) {
            ::FreeLibrary(setup_);
        }
    }
    SystemHidApi(const SystemHidApi&) = delete;
    SystemHidApi& operator=(const SystemHidApi&) = delete;

    void HidD_GetHidGuid(GUID* guid) override {
        if (getHidGuid_ != nullptr) {
            getHidGuid_(guid);
        } else {
            *guid = GUID{};
        }
    }
    HDEVINFO SetupDiGetClassDevsW(const GUID* classGuid, DWORD flags) override {
        if (getClassDevs_ == nullptr) {
            return INVALID_HANDLE_VALUE;
        }
        return getClassDevs_(classGuid, nullptr, nullptr, flags);
    }
    BOOL SetupDiEnumDeviceInterfaces(HDEVINFO list, const GUID* classGuid, DWORD index,
                                     SP_DEVICE_INTERFACE_DATA* data) override {
        return enumInterfaces_ != nullptr && enumInterfaces_(list, nullptr, classGuid, index, data);
    }
    BOOL SetupDiGetDeviceInterfaceDetailW(HDEVINFO list, SP_DEVICE_INTERFACE_DATA* data,
                                          SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail,
                                          DWORD detailSize, DWORD* requiredSize) override {
        return interfaceDetail_ != nullptr &&
               interfaceDetail_(list, data, detail, detailSize, requiredSize, nullptr);
    }
    BOOL SetupDiDestroyDeviceInfoList(HDEVINFO list) override {
        return destroyList_ != nullptr && destroyList_(list);
    }
    BOOLEAN HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes) override {
        return getAttributes_ != nullptr && getAttributes_(device, attributes);
    }
    BOOLEAN HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* data) override {
        return getPreparsed_ != nullptr && getPreparsed_(device, data);
    }
    BOOLEAN HidD_FreePreparsedData(PHIDP_PREPARSED_DATA data) override {
        return freePreparsed_ != nullptr && freePreparsed_(data);
    }
    NTSTATUS HidP_GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) override {
        return getCaps_ != nullptr ? getCaps_(data, caps) : HIDP_STATUS_INVALID_PREPARSED_DATA;
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
    BOOL CancelIoEx(HANDLE file, OVERLAPPED* overlapped) override {
        return ::CancelIoEx(file, overlapped);
    }
    DWORD GetLastError() override { return ::GetLastError(); }

  private:
    HMODULE hid_;
    HMODULE setup_;
    decltype(&::HidD_GetHidGuid) getHidGuid_ = Find<decltype(getHidGuid_)>(hid_, "HidD_GetHidGuid");
    decltype(&::HidD_GetAttributes) getAttributes_ =
        Find<decltype(getAttributes_)>(hid_, "HidD_GetAttributes");
    decltype(&::HidD_GetPreparsedData) getPreparsed_ =
        Find<decltype(getPreparsed_)>(hid_, "HidD_GetPreparsedData");
    decltype(&::HidD_FreePreparsedData) freePreparsed_ =
        Find<decltype(freePreparsed_)>(hid_, "HidD_FreePreparsedData");
    decltype(&::HidP_GetCaps) getCaps_ = Find<decltype(getCaps_)>(hid_, "HidP_GetCaps");
    decltype(&::SetupDiGetClassDevsW) getClassDevs_ =
        Find<decltype(getClassDevs_)>(setup_, "SetupDiGetClassDevsW");
    decltype(&::SetupDiEnumDeviceInterfaces) enumInterfaces_ =
        Find<decltype(enumInterfaces_)>(setup_, "SetupDiEnumDeviceInterfaces");
    decltype(&::SetupDiGetDeviceInterfaceDetailW) interfaceDetail_ =
        Find<decltype(interfaceDetail_)>(setup_, "SetupDiGetDeviceInterfaceDetailW");
    decltype(&::SetupDiDestroyDeviceInfoList) destroyList_ =
        Find<decltype(destroyList_)>(setup_, "SetupDiDestroyDeviceInfoList");
};

}  // namespace

std::shared_ptr<Windows_HidApi> Windows_HidApi::System() {
    static const auto system = std::make_shared<SystemHidApi>();
    return system;
}

}  // namespace ArmillonDevice
