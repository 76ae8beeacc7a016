#include "Linux_HidrawIoctls.h"

#include <linux/hidraw.h>
#include <linux/input.h>
#include <sys/ioctl.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "HidReportDescriptor.h"
#include "Linux_HidrawFileOperations.h"

namespace watchsim {

using Session = Linux_HidrawFileSystem::Session;

void IoctlNode(fuse_req_t request, fuse_ino_t, unsigned int command, void*, fuse_file_info* info,
               unsigned, const void*, std::size_t, std::size_t outSize) {
    Session& session = Session::Of(request);
    Handle* handle = LiveHandle(request, session, info);
    if (!handle) {
        return;
    }
    VirtualWatch& watch = *session.watches[handle->node];
    const auto descriptor =
        VendorReportDescriptor(watch.InputReportLength() - 1, watch.OutputReportLength() - 1);
    switch (command) {
        case HIDIOCGRDESCSIZE: {
            const int size = static_cast<int>(descriptor.size());
            fuse_reply_ioctl(request, 0, &size, sizeof(size));
            return;
        }
        case HIDIOCGRDESC: {
            hidraw_report_descriptor reply{};
            reply.size = static_cast<__u32>(descriptor.size());
            std::copy(descriptor.begin(), descriptor.end(), reply.value);
            fuse_reply_ioctl(request, 0, &reply, sizeof(reply));
            return;
        }
        case HIDIOCGRAWINFO: {
            hidraw_devinfo reply{};
            reply.bustype = BUS_USB;
            reply.vendor = static_cast<__s16>(watch.VendorId());
            reply.product = static_cast<__s16>(watch.ProductId());
            fuse_reply_ioctl(request, 0, &reply, sizeof(reply));
            return;
        }
        default:
            break;
    }
    const unsigned number = _IOC_NR(command);
    if (_IOC_TYPE(command) == 'H' && _IOC_DIR(command) == _IOC_READ &&
        (number == 0x04 || number == 0x05 || number == 0x08)) {
        // Name, physical path and serial text, as the kernel copies them: the text and its
        // zero byte, cut to the caller's length without a zero byte of its own, and that
        // length returned.
        const std::string text = number == 0x04 ? watch.Config().usbProductName
                                 : number == 0x05
                                     ? "usb-watchsim-" + std::to_string(handle->node) + "/input0"
                                     : std::string();
        const std::size_t length = std::min(outSize, text.size() + 1);
        fuse_reply_ioctl(request, static_cast<int>(length), text.c_str(), length);
        return;
    }
    fuse_reply_err(request, ENOTTY);
}

}  // namespace watchsim
