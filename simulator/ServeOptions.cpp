#include "ServeOptions.h"

#include <charconv>
#include <chrono>

namespace watchsim {
namespace {

std::uint64_t Number(const std::string& option, const std::string& text, std::uint64_t max) {
    std::string_view digits = text;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        digits.remove_prefix(2);
        base = 16;
    }
    std::uint64_t value = 0;
    const auto [end, error] =
        std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() ||
        value > max) {
        throw UsageError(option + " wants a number up to " + std::to_string(max) + ", not \"" +
                         text + "\"");
    }
    return value;
}

}  // namespace

ServeOptions ParseServeOptions(const std::vector<std::string>& arguments) {
    ServeOptions options;
    if (arguments.empty() || arguments[0] != "serve") {
        if (!arguments.empty() && (arguments[0] == "--help" || arguments[0] == "-h")) {
            options.help = true;
            return options;
        }
        throw UsageError("the only command is \"serve\"");
    }
    bool hardwareTextGiven = false;
    std::string model;
    std::vector<std::string> faults;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option == "--help" || option == "-h") {
            options.help = true;
            return options;
        }
        if (i + 1 >= arguments.size()) {
            throw UsageError(option.rfind("--", 0) == 0 ? option + " wants a value"
                                                        : "unexpected \"" + option + "\"");
        }
        const std::string& value = arguments[++i];
        if (option == "--dir") {
            options.directory = value;
        } else if (option == "--count") {
            options.count = Number(option, value, 16);
        } else if (option == "--vid") {
            options.watch.vendorId = static_cast<std::uint16_t>(Number(option, value, 0xFFFF));
        } else if (option == "--pid") {
            options.watch.productId = static_cast<std::uint16_t>(Number(option, value, 0xFFFF));
        } else if (option == "--model") {
            if (value.size() != 4) {
                throw UsageError("--model wants four characters");
            }
            model = value;
        } else if (option == "--version") {
            if (value.size() != 5) {
                throw UsageError("--version wants five characters");
            }
            options.watch.firmwareVersion = value;
        } else if (option == "--hardware-text") {
            if (value.empty() || value.size() > 16) {
                throw UsageError("--hardware-text wants 1 to 16 characters");
            }
            options.watch.hardwareText = value;
            hardwareTextGiven = true;
        } else if (option == "--report-length") {
            options.watch.reportLength = Number(option, value, 513);
        } else if (option == "--latency-us") {
            options.watch.reportLatency =
                std::chrono::microseconds(Number(option, value, 10'000'000));
        } else if (option == "--reboot-delay-ms") {
            options.watch.rebootDelay = std::chrono::milliseconds(Number(option, value, 600'000));
        } else if (option == "--fault") {
            faults.push_back(value);
        } else if (option == "--state") {
            options.stateDirectory = value;
        } else if (option == "--trace") {
            options.traceFile = value;
        } else {
            throw UsageError("unknown option \"" + option + "\"");
        }
    }
    if (options.directory.empty()) {
        throw UsageError("--dir is required");
    }
    if (!model.empty() && !hardwareTextGiven) {
        options.watch.hardwareText = "ORNA-HWREV1-" + model;
    }
    for (const std::string& plan : faults) {
        try {
            const FaultPlan parsed = ParseFaultPlan(plan);
            options.watch.faults.insert(options.watch.faults.end(), parsed.rules.begin(),
                                        parsed.rules.end());
            if (parsed.latency) {
                options.watch.reportLatency = *parsed.latency;
            }
        } catch (const FaultPlanError& error) {
            throw UsageError(error.what());
        }
    }
    try {
        ValidateConfig(options.watch);
    } catch (const std::invalid_argument& error) {
        throw UsageError(error.what());
    }
    return options;
}

std::filesystem::path StateDirectoryFor(const ServeOptions& options, std::size_t index) {
    if (options.stateDirectory.empty() || options.count == 1) {
        return options.stateDirectory;
    }
    return options.stateDirectory / ("hidraw" + std::to_string(index));
}

const char* ServeUsage() {
    return "usage: watchsim serve --dir DIR [--count N] [--vid 0xVVVV] [--pid 0xPPPP]\n"
           "                      [--model XXXX] [--version XXXXX] [--hardware-text TEXT]\n"
           "                      [--report-length N] [--latency-us N] [--reboot-delay-ms N]\n"
           "                      [--fault PLAN]... [--state SDIR] [--trace FILE]\n"
           "Mounts DIR and serves N virtual watches there as hidraw0, hidraw1, ...; prints\n"
           "each node's path once it is ready and runs until SIGINT or SIGTERM.\n";
}

}  // namespace watchsim
