// Feeds arbitrary bytes to the image loader. A refused image must come back as code 13 with
// the rule that broke; an accepted one is walked as the update would walk it, reading every
// byte the update would send, so ASan sees any read past the image.

#include "ArmillonException.h"
#include "COrnaFirmware.h"
#include "ImageLayout.h"
#include "OrnaVersionUpDecision.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ImageDiagnostic diagnostic;
    try {
        COrnaFirmware image(std::vector<std::uint8_t>(data, data + size), nullptr, nullptr,
                            &diagnostic);
        const auto bytes = image.Image();
        const std::uint8_t* end = bytes.data() + bytes.size();
        unsigned sum = image.Flags() + image.VendorId() + image.ProductId() + image.ModelCode();
        for (const auto& command : image.commands) {
            if (command.data < bytes.data() || command.data > end) {
                __builtin_trap();
            }
            if (firmware::SendsValue2DataBytes(command.type)) {
                if (command.value2 > static_cast<std::size_t>(end - command.data)) {
                    __builtin_trap();
                }
                for (std::uint32_t i = 0; i < command.value2; ++i) {
                    sum += command.data[i];
                }
            }
        }
        if (std::strlen(image.GetVersionText()) > 5 || std::strlen(image.GetModelText()) > 4) {
            __builtin_trap();
        }
        OrnaVersionUpDecision decision(&image);
        sum += static_cast<unsigned>(decision.Decide(L"01.20", L"", L""));
        while (image.ReadNextByte() >= 0) {
        }
        volatile unsigned sink = sum;
        static_cast<void>(sink);
    } catch (const ArmillonException& e) {
        if (e.code != 13 || diagnostic.code != 13 || diagnostic.rule == ImageRule::None ||
            diagnostic.offset > size + 0x100000000ull) {
            __builtin_trap();
        }
    }
    return 0;
}
