#include "Linux_USB_HID_DeviceReaderWriter.h"

#include <fcntl.h>
#include <linux/hidraw.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <optional>
#include <utility>

#include "HidrawReport.h"
#include "Linux_HidDiscovery.h"
#include "Linux_RetryInterrupted.h"
#include "Linux_USB_DeviceIdentifier.h"
#include "ReportDescriptorLengths.h"

namespace ArmillonDevice {

namespace {

using Clock = std::chrono::steady_clock;

// Errors by which the kernel says the device left or the transfer itself failed on the bus,
// as opposed to a call it refused outright.
bool IsTransferError(int error) {
    switch (error) {
        case ENODEV:
        case ENXIO:
        case EIO:
        case ESHUTDOWN:
        case EPIPE:
        case EPROTO:
        case ETIMEDOUT:
            return true;
        default:
            return false;
    }
}

ArmillonDeviceError ErrorFor(int error) {
    return IsTransferError(error) ? DeviceErrorCode::TransferFailed
                                  : DeviceErrorCode::GeneralFailure;
}

enum class WaitOutcome { Ready, TimedOut, HungUp, Failed };

// Waits until the node is ready for `events` or the deadline passes. A signal does not end
// the wait early, and does not extend it either.
WaitOutcome WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left =
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return WaitOutcome::TimedOut;
        }
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, static_cast<int>(std::min<long long>(left, INT_MAX)));
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            return WaitOutcome::Failed;
        }
        if (ready == 0) {
            continue;  // the loop head decides whether the deadline has passed
        }
        // A report queued before the watch left can still be taken.
        if ((entry.revents & events) != 0) {
            return WaitOutcome::Ready;
        }
        if ((entry.revents & POLLNVAL) != 0) {
            return WaitOutcome::Failed;
        }
        return WaitOutcome::HungUp;  // POLLHUP or POLLERR
    }
}

ArmillonDeviceError ErrorFor(WaitOutcome outcome) {
    return outcome == WaitOutcome::Failed ? DeviceErrorCode::GeneralFailure
                                          : DeviceErrorCode::TransferFailed;
}

std::optional<ReportDescriptorLengths::Lengths> DescriptorLengths(int fd) {
    int size = 0;
    if (common::Linux_RetryInterrupted([&] { return ::ioctl(fd, HIDIOCGRDESCSIZE, &size); }) < 0 ||
        size < 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        return std::nullopt;
    }
    hidraw_report_descriptor descriptor{};
    descriptor.size = static_cast<std::uint32_t>(size);
    if (common::Linux_RetryInterrupted([&] { return ::ioctl(fd, HIDIOCGRDESC, &descriptor); }) <
        0) {
        return std::nullopt;
    }
    const auto result = ReportDescriptorLengths::Parse(
        std::span<const std::uint8_t>(descriptor.value, static_cast<std::size_t>(size)));
    if (result.verdict != ReportDescriptorLengths::Verdict::Usable) {
        return std::nullopt;
    }
    return result.lengths;
}

// The node's number may have gone to another device since discovery: the device behind it
// must still have the identity's identifiers, and its bus type and physical path where
// discovery learnt them.
bool IsTheIdentifiedDevice(int fd, const Linux_USB_DeviceIdentifier& identity) {
    const auto info = Linux_HidDiscovery::ReadNodeInfo(fd);
    if (!info || info->vendorId != identity.GetVendorId() ||
        info->productId != identity.GetProductId()) {
        return false;
    }
    if (identity.GetBusType() && *identity.GetBusType() != info->busType) {
        return false;
    }
    return !identity.GetPhysicalPath() || identity.GetPhysicalPath() == info->physicalPath;
}

}  // namespace

Linux_USB_HID_DeviceReaderWriter::Linux_USB_HID_DeviceReaderWriter(
    std::chrono::milliseconds reportTimeout)
    : reportTimeout_(reportTimeout) {}

Linux_USB_HID_DeviceReaderWriter::~Linux_USB_HID_DeviceReaderWriter() {
    Close();
}

ArmillonDeviceError Linux_USB_HID_DeviceReaderWriter::OpenDevice(const DeviceIdentifier& identity,
                                                                 ReportLengths& lengths) {
    const auto* usb = dynamic_cast<const Linux_USB_DeviceIdentifier*>(&identity);
    if (usb == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    // Non-blocking, so that a report announced by poll but taken by another reader of a
    // shared node can never leave the read waiting past its time-out.
    common::Linux_UniqueFd node(::open(usb->GetPath(), O_RDWR | O_NONBLOCK | O_CLOEXEC));
    if (!node.IsValid()) {
        return DeviceErrorCode::OpenFailed;
    }
    // Before anything else, not even a lock, reaches the device behind the node.
    if (!IsTheIdentifiedDevice(node.Get(), *usb)) {
        return DeviceErrorCode::OpenFailed;
    }
    const auto lock = [fd = node.Get()](int operation) {
        return common::Linux_RetryInterrupted([&] { return ::flock(fd, operation | LOCK_NB); }) ==
               0;
    };
    if (!lock(LOCK_EX) && !lock(LOCK_SH)) {
        return DeviceErrorCode::OpenFailed;
    }
    const auto found = DescriptorLengths(node.Get());
    if (!found) {
        return DeviceErrorCode::GeneralFailure;
    }
    lengths.input = found->input;
    lengths.output = found->output;
    node_ = std::move(node);
    return DeviceErrorCode::Success;
}

void Linux_USB_HID_DeviceReaderWriter::CloseDevice() {
    node_.Reset();  // the lock goes with the descriptor
}

bool Linux_USB_HID_DeviceReaderWriter::IsDeviceOpen() const {
    return node_.IsValid();
}

void Linux_USB_HID_DeviceReaderWriter::AdoptNode(common::Linux_UniqueFd node) {
    node_ = std::move(node);
}

ArmillonDeviceError Linux_USB_HID_DeviceReaderWriter::ReadReport(std::span<std::uint8_t> report) {
    if (!node_.IsValid() || report.empty()) {
        return DeviceErrorCode::GeneralFailure;
    }
    const auto deadline = Clock::now() + reportTimeout_;
    // One byte more than an unnumbered report can hold, to tell a longer report from a full one.
    incoming_.resize(report.size());
    for (;;) {
        if (const auto outcome = WaitFor(node_.Get(), POLLIN, deadline);
            outcome != WaitOutcome::Ready) {
            return ErrorFor(outcome);
        }
        const ssize_t count = ::read(node_.Get(), incoming_.data(), incoming_.size());
        if (count < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) {
                continue;
            }
            return ErrorFor(errno);
        }
        if (count == 0) {
            return DeviceErrorCode::TransferFailed;  // end of file: the node is gone
        }
        const auto received =
            std::span<const std::uint8_t>(incoming_).first(static_cast<std::size_t>(count));
        if (!HidrawReport::PlaceUnnumberedInput(received, report)) {
            return DeviceErrorCode::TransferFailed;  // longer than the descriptor declares
        }
        return DeviceErrorCode::Success;
    }
}

ArmillonDeviceError Linux_USB_HID_DeviceReaderWriter::WriteReport(
    std::span<const std::uint8_t> report) {
    if (!node_.IsValid() || report.empty()) {
        return DeviceErrorCode::GeneralFailure;
    }
    const auto deadline = Clock::now() + reportTimeout_;
    for (;;) {
        // The report number goes first; the kernel strips it for unnumbered reports.
        const ssize_t count = ::write(node_.Get(), report.data(), report.size());
        if (count >= 0) {
            return static_cast<std::size_t>(count) == report.size()
                       ? ArmillonDeviceError(DeviceErrorCode::Success)
                       : ArmillonDeviceError(DeviceErrorCode::TransferFailed);
        }
        if (errno == EINTR) {
            if (Clock::now() >= deadline) {
                return DeviceErrorCode::TransferFailed;
            }
            continue;
        }
        if (errno == EAGAIN || errno == EWOULDBLOCK) {
            if (const auto outcome = WaitFor(node_.Get(), POLLOUT, deadline);
                outcome != WaitOutcome::Ready) {
                return ErrorFor(outcome);
            }
            continue;
        }
        return ErrorFor(errno);
    }
}

}  // namespace ArmillonDevice
