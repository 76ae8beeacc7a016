#include "FakeHidApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "Pause.h"

namespace ArmillonDevice::testing {

namespace {

DWORD DetailSizeFor(const std::wstring& path) {
    return static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) +
                              (path.size() + 1) * sizeof(wchar_t));
}

}  // namespace

HANDLE FakeHidApi::NewHandle(Handle handle) {
    nextHandle_ += 4;
    const auto token = reinterpret_cast<HANDLE>(nextHandle_);
    handles_.emplace(token, handle);
    return token;
}

void FakeHidApi::HidD_GetHidGuid(GUID* guid) {
    *guid = hidClass_;
}

HDEVINFO FakeHidApi::SetupDiGetClassDevsW(const GUID* classGuid, DWORD flags) {
    EXPECT_EQ(0, std::memcmp(classGuid, &hidClass_, sizeof(GUID)));
    EXPECT_EQ(0x12u, flags);  // present device interfaces
    if (classListFails) {
        lastError_ = ERROR_INVALID_PARAMETER;
        return INVALID_HANDLE_VALUE;
    }
    return classList_;
}

BOOL FakeHidApi::SetupDiEnumDeviceInterfaces(HDEVINFO list, const GUID* classGuid, DWORD index,
                                             SP_DEVICE_INTERFACE_DATA* data) {
    EXPECT_EQ(classList_, list);
    EXPECT_EQ(0, std::memcmp(classGuid, &hidClass_, sizeof(GUID)));
    if (data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) {
        lastError_ = ERROR_INVALID_USER_BUFFER;
        return FALSE;
    }
    if (index >= interfaces.size()) {
        lastError_ = ERROR_NO_MORE_ITEMS;
        return FALSE;
    }
    data->Reserved = index + 1;
    return TRUE;
}

BOOL FakeHidApi::SetupDiGetDeviceInterfaceDetailW(HDEVINFO list, SP_DEVICE_INTERFACE_DATA* data,
                                                  SP_DEVICE_INTERFACE_DETAIL_DATA_W* detail,
                                                  DWORD detailSize, DWORD* requiredSize) {
    EXPECT_EQ(classList_, list);
    const FakeInterface& device = interfaces.at(data->Reserved - 1);
    const DWORD needed = DetailSizeFor(device.path);
    if (detail == nullptr) {
        if (device.detailSizeQuerySucceeds) {
            return TRUE;
        }
        *requiredSize = device.reportedDetailSize != 0 ? device.reportedDetailSize : needed;
        lastError_ = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    if (detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) {
        lastError_ = ERROR_INVALID_USER_BUFFER;
        return FALSE;
    }
    if (device.detailFails || detailSize < needed) {
        lastError_ = ERROR_INSUFFICIENT_BUFFER;
        return FALSE;
    }
    std::memcpy(detail->DevicePath, device.path.c_str(),
                (device.path.size() + 1) * sizeof(wchar_t));
    return TRUE;
}

BOOL FakeHidApi::SetupDiDestroyDeviceInfoList(HDEVINFO list) {
    EXPECT_EQ(classList_, list);
    ++classListsDestroyed;
    return TRUE;
}

const FakeInterface* FakeHidApi::DeviceOf(HANDLE handle) const {
    const auto found = handles_.find(handle);
    if (found == handles_.end() || found->second.kind != Handle::Kind::Device) {
        return nullptr;
    }
    return &interfaces.at(found->second.interfaceIndex);
}

BOOLEAN FakeHidApi::HidD_GetAttributes(HANDLE device, HIDD_ATTRIBUTES* attributes) {
    const FakeInterface* found = DeviceOf(device);
    EXPECT_EQ(sizeof(HIDD_ATTRIBUTES), attributes->Size);
    if (found == nullptr || found->attributesFail) {
        return FALSE;
    }
    attributes->VendorID = found->vendorId;
    attributes->ProductID = found->productId;
    return TRUE;
}

BOOLEAN FakeHidApi::HidD_GetPreparsedData(HANDLE device, PHIDP_PREPARSED_DATA* data) {
    const FakeInterface* found = DeviceOf(device);
    if (found == nullptr || found->preparsedDataFails) {
        return FALSE;
    }
    *data = reinterpret_cast<PHIDP_PREPARSED_DATA>(const_cast<FakeInterface*>(found));
    return TRUE;
}

BOOLEAN FakeHidApi::HidD_FreePreparsedData(PHIDP_PREPARSED_DATA) {
    ++preparsedFreed;
    return TRUE;
}

NTSTATUS FakeHidApi::HidP_GetCaps(PHIDP_PREPARSED_DATA data, HIDP_CAPS* caps) {
    const auto* device = reinterpret_cast<const FakeInterface*>(data);
    if (device->capsStatus == HIDP_STATUS_SUCCESS) {
        *caps = device->caps;
    }
    return device->capsStatus;
}

HANDLE FakeHidApi::CreateFileW(const wchar_t* path, DWORD access, DWORD share, DWORD flags) {
    opens.push_back({path, access, share, flags});
    const auto found = std::find_if(interfaces.begin(), interfaces.end(),
                                    [&](const FakeInterface& i) { return i.path == path; });
    if (found == interfaces.end()) {
        lastError_ = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    const bool fails = access == 0  ? found->attributeOpenFails
                       : share == 0 ? found->exclusiveOpenFails
                                    : found->sharedOpenFails;
    if (fails) {
        lastError_ = ERROR_SHARING_VIOLATION;
        return INVALID_HANDLE_VALUE;
    }
    return NewHandle({Handle::Kind::Device, static_cast<std::size_t>(found - interfaces.begin())});
}

BOOL FakeHidApi::CloseHandle(HANDLE handle) {
    const auto found = handles_.find(handle);
    if (found == handles_.end()) {
        ADD_FAILURE() << "CloseHandle of a handle that is not open";
        lastError_ = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    for (auto it = inFlight_.begin(); it != inFlight_.end();) {
        const bool ofThisHandle = it->first->hEvent == handle || it->second.file == handle;
        if (ofThisHandle && !it->second.ended) {
            releasedWhilePending = true;
        }
        it = ofThisHandle ? inFlight_.erase(it) : std::next(it);
    }
    handles_.erase(found);
    return TRUE;
}

HANDLE FakeHidApi::CreateEventW() {
    if (eventFails) {
        lastError_ = ERROR_NOT_ENOUGH_MEMORY;
        return nullptr;
    }
    ++eventsCreated;
    return NewHandle({Handle::Kind::Event});
}

BOOL FakeHidApi::StartTransfer(HANDLE file, void* buffer, DWORD length, DWORD* transferred,
                               OVERLAPPED* overlapped, bool isRead) {
    if (DeviceOf(file) == nullptr) {
        lastError_ = ERROR_INVALID_HANDLE;
        return FALSE;
    }
    if (unplugged_) {
        lastError_ = ERROR_DEVICE_NOT_CONNECTED;
        return FALSE;
    }
    EXPECT_NE(nullptr, overlapped);
    const auto event = handles_.find(overlapped->hEvent);
    EXPECT_TRUE(event != handles_.end() && event->second.kind == Handle::Kind::Event);
    for (const auto& [other, transfer] : inFlight_) {
        EXPECT_FALSE(other == overlapped || other->hEvent == overlapped->hEvent)
            << "a record or event of a transfer still in flight used again";
    }
    if (!isRead) {
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        written.emplace_back(bytes, bytes + length);
    }
    std::deque<FakeTransfer>& script = isRead ? reads : writes;
    InFlight started{{}, file, buffer, length};
    if (script.empty()) {
        if (!isRead) {
            ADD_FAILURE() << "a write nobody scripted";
            lastError_ = ERROR_GEN_FAILURE;
            return FALSE;
        }
        started.transfer.kind = FakeTransfer::Kind::Pending;
        started.waitsForReport = true;
        inFlight_[overlapped] = started;
        lastError_ = ERROR_IO_PENDING;
        return FALSE;
    }
    started.transfer = script.front();
    if (started.transfer.kind != FakeTransfer::Kind::Refused) {
        script.pop_front();
    }
    if (!isRead) {
        started.transfer.report.clear();
    }
    switch (started.transfer.kind) {
        case FakeTransfer::Kind::AtOnce:
            End(started);
            *transferred = started.transfer.count;
            return TRUE;
        case FakeTransfer::Kind::Refused:
            lastError_ = started.transfer.error;
            return FALSE;
        default:
            inFlight_[overlapped] = started;
            lastError_ = ERROR_IO_PENDING;
            return FALSE;
    }
}

bool FakeHidApi::TakeReport(InFlight& transfer) {
    if (reads.empty()) {
        return false;
    }
    transfer.transfer = reads.front();
    reads.pop_front();
    transfer.waitsForReport = false;
    // Whatever the script says of its start, the read started long ago.
    if (transfer.transfer.kind == FakeTransfer::Kind::AtOnce) {
        transfer.transfer.kind = FakeTransfer::Kind::Pending;
    } else if (transfer.transfer.kind == FakeTransfer::Kind::Refused) {
        transfer.transfer.kind = FakeTransfer::Kind::Pending;
        transfer.transfer.count = 0;
    }
    return true;
}

void FakeHidApi::Unplug() {
    unplugged_ = true;
    for (auto& [overlapped, transfer] : inFlight_) {
        if (!transfer.waitsForReport) {
            continue;
        }
        if (!TakeReport(transfer)) {
            transfer.waitsForReport = false;
            transfer.transfer.error = ERROR_DEVICE_NOT_CONNECTED;
        }
        End(transfer);
    }
}

void FakeHidApi::CancelWaitingReads() {
    for (auto& [overlapped, transfer] : inFlight_) {
        if (transfer.waitsForReport) {
            transfer.waitsForReport = false;
            transfer.transfer.error = ERROR_OPERATION_ABORTED;
            End(transfer);
        }
    }
}

void FakeHidApi::End(InFlight& transfer) {
    const std::size_t count = std::min<std::size_t>(
        {transfer.transfer.count, transfer.length, transfer.transfer.report.size()});
    std::memcpy(transfer.buffer, transfer.transfer.report.data(), count);
    transfer.ended = true;
}

BOOL FakeHidApi::ReadFile(HANDLE file, void* buffer, DWORD length, DWORD* transferred,
                          OVERLAPPED* overlapped) {
    return StartTransfer(file, buffer, length, transferred, overlapped, true);
}

BOOL FakeHidApi::WriteFile(HANDLE file, const void* data, DWORD length, DWORD* transferred,
                           OVERLAPPED* overlapped) {
    return StartTransfer(file, const_cast<void*>(data), length, transferred, overlapped, false);
}

DWORD FakeHidApi::WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    waits.push_back(milliseconds);
    for (auto& [overlapped, transfer] : inFlight_) {
        if (overlapped->hEvent != handle) {
            continue;
        }
        if (transfer.ended) {
            return WAIT_OBJECT_0;
        }
        if (transfer.waitsForReport) {
            TakeReport(transfer);
        }
        if (!transfer.waitsForReport && transfer.transfer.kind == FakeTransfer::Kind::Pending) {
            End(transfer);
            return WAIT_OBJECT_0;
        }
        if (transfer.transfer.kind == FakeTransfer::Kind::WaitFails) {
            lastError_ = ERROR_INVALID_HANDLE;
            return WAIT_FAILED;
        }
        // The whole time-out passes; tests see it through the pause recorder.
        common::Pause(std::chrono::milliseconds(milliseconds));
        return WAIT_TIMEOUT;
    }
    ADD_FAILURE() << "a wait on an event no transfer uses";
    return WAIT_FAILED;
}

BOOL FakeHidApi::CancelIoEx(HANDLE file, OVERLAPPED* overlapped) {
    ++cancels;
    const auto found = inFlight_.find(overlapped);
    if (found == inFlight_.end() || found->second.file != file) {
        lastError_ = ERROR_NOT_FOUND;
        return FALSE;
    }
    InFlight& transfer = found->second;
    if (!transfer.ended && transfer.transfer.kind == FakeTransfer::Kind::EndsAtCancel) {
        End(transfer);  // too late: it ended before the cancellation took hold
    } else {
        transfer.cancelled = true;  // ends later, as the driver gets round to it
    }
    return TRUE;
}

BOOL FakeHidApi::GetOverlappedResult(HANDLE file, OVERLAPPED* overlapped, DWORD* transferred,
                                     BOOL wait) {
    const auto found = inFlight_.find(overlapped);
    if (found == inFlight_.end() || found->second.file != file) {
        ADD_FAILURE() << "GetOverlappedResult for a transfer that was not started";
        lastError_ = ERROR_INVALID_PARAMETER;
        return FALSE;
    }
    InFlight& transfer = found->second;
    if (!transfer.ended) {
        if (!wait) {
            lastError_ = ERROR_IO_INCOMPLETE;
            return FALSE;
        }
        if (!transfer.cancelled) {
            ADD_FAILURE() << "waits for ever on a transfer that never ends";
            lastError_ = ERROR_INVALID_PARAMETER;
            return FALSE;
        }
        inFlight_.erase(found);
        *transferred = 0;
        lastError_ = ERROR_OPERATION_ABORTED;
        return FALSE;
    }
    const FakeTransfer ended = transfer.transfer;
    inFlight_.erase(found);
    *transferred = ended.count;
    if (ended.error != ERROR_SUCCESS) {
        lastError_ = ended.error;
        return FALSE;
    }
    return TRUE;
}

}  // namespace ArmillonDevice::testing
