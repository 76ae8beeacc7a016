#include "CFWUpdaterAppApp.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <filesystem>
#include <limits>
#include <ostream>

#include "CMessageDisplay.h"
#include "COrnaFirmware.h"
#include "DeviceVersionOverride.h"
#include "FileChooser.h"
#include "IHidPlatform.h"
#include "ImageDiagnostic.h"
#include "MessageBoxRequest.h"
#include "NoWindowTitleSearch.h"
#include "ResourceIds.h"
#include "TextConversion.h"
#include "UiBackend.h"
#include "UiLanguage.h"

namespace {

// "/l:" takes a number as C's strtol reads it with base 0 (decimal, 0x hexadecimal, 0
// octal; it stops at the first character that does not fit; no digits give 0). The value
// is taken as a 32-bit long, so out-of-range values saturate as they would there; the low
// 16 bits are the language identifier.
std::uint16_t ParseLanguageId(const std::wstring& text) {
    long long value = std::wcstoll(text.c_str(), nullptr, 0);
    value = std::clamp<long long>(value, std::numeric_limits<std::int32_t>::min(),
                                  std::numeric_limits<std::int32_t>::max());
    return static_cast<std::uint16_t>(static_cast<std::uint32_t>(value) & 0xFFFF);
}

// Where every absolute path begins with /, like the options do, such an argument is the
// image path only when there is a file at that path.
bool IsExistingFile(const std::wstring& path) {
    std::error_code error;
    const auto status = std::filesystem::status(common::WideToNarrow(path), error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

// What a platform that was not given offers: nothing to find and nobody to share with.
class NoHidDevices : public ArmillonDevice::IHidPlatform {
  public:
    void EnumerateHidDevices(ArmillonDevice::DeviceIdentifierList&,
                             const ArmillonDevice::HidDevicePredicate&) override {}
    std::unique_ptr<ArmillonDevice::IReaderWriter> CreateReaderWriter() override {
        return nullptr;  // never asked for: no device is ever listed
    }
};

class UnsharedMutex : public INamedMutex {
  public:
    bool Wait(std::chrono::milliseconds) override { return true; }
    void Release() override {}
};

ArmillonDevice::IHidPlatform& HidOf(const UpdaterPlatform& platform) {
    static NoHidDevices none;
    return platform.hid != nullptr ? *platform.hid : none;
}

IWindowTitleSearch& WindowsOf(const UpdaterPlatform& platform) {
    static NoWindowTitleSearch none;
    return platform.windows != nullptr ? *platform.windows : none;
}

NamedMutexFactory MutexFactoryOf(const UpdaterPlatform& platform) {
    if (platform.createMutex) {
        return platform.createMutex;
    }
    return [](const std::wstring&) { return std::make_unique<UnsharedMutex>(); };
}

// The image path for diagnostics; the built-in image has none.
std::string PathText(const std::wstring& path) {
    return path.empty() ? std::string("(built in)") : common::Quote(common::WideToUtf8(path));
}

}  // namespace

CFWUpdaterAppApp::CFWUpdaterAppApp(ui::UiBackend& ui, std::vector<std::wstring> arguments,
                                   std::ostream& console)
    : CFWUpdaterAppApp(ui, std::move(arguments), console, UpdaterPlatform{}) {}

CFWUpdaterAppApp::CFWUpdaterAppApp(ui::UiBackend& ui, std::vector<std::wstring> arguments,
                                   std::ostream& console, const UpdaterPlatform& platform)
    : ui::Application(ui, std::move(arguments), console),
      hid_(HidOf(platform)),
      slashArguments_(platform.slashArguments),
      busyCheck_(WindowsOf(platform), MutexFactoryOf(platform)) {}

CFWUpdaterAppApp::~CFWUpdaterAppApp() = default;

void CFWUpdaterAppApp::ReadOptions() {
    const auto& arguments = Arguments();
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        const std::wstring& arg = arguments[i];
        if (arg == L"/f") {
            forceUpdate = 1;
        } else if (arg.size() == 8 && arg.starts_with(L"/s:")) {
            // Through the locale's encoding and back, as the image loader will see it.
            imageVersion = common::NarrowToWide(common::WideToNarrow(arg.substr(3)));
        } else if (arg.size() == 8 && arg.starts_with(L"/d:")) {
            SetDeviceVersionOverride(common::WideToNarrow(arg.substr(3)).c_str());
        } else if (arg.size() >= 4 && arg.starts_with(L"/l:")) {
            languageId = ParseLanguageId(arg.substr(3));
        } else if (arg == L"/t-") {
            clockMode = -1;
        } else if (arg == L"/t") {
            clockMode = 1;
        } else if (arg == L"--help" || arg == L"-h" ||
                   (arg == L"/?" && slashArguments_ == SlashArguments::OptionsOnly)) {
            helpRequested = true;
        } else if (arg == L"--choose") {
            chooseImage = true;
        } else if (arg == L"--version") {
            versionRequested = true;
        } else if (arg == L"--verbose" || arg == L"-v") {
            verbose = true;
        } else if (arg.starts_with(L"--log=")) {
            if (arg.size() > 6) {
                logPath = arg.substr(6);
            }

        } else if (!arg.starts_with(L'/') ||
                   (slashArguments_ == SlashArguments::PathWhenFileExists && IsExistingFile(arg))) {
            imagePath = arg;
        }
        // Anything else that begins with / is ignored.
    }
}

bool CFWUpdaterAppApp::InitInstance() {
    ui::Application::InitInstance();
    ReadOptions();
    SelectUiLanguage(languageId);
    if (helpRequested || versionRequested) {
        if (helpRequested) {
            Console() << common::WideToUtf8(UsageText());
        } else {
            Console() << "firmupdater " << FIRMUPDATER_VERSION << '\n';
        }
        exitCode = 0;
        return false;
    }

    StartTranscript();
    if (!ChooseImage()) {
        return false;
    }
    CMessageDisplay messages(Ui());
    ImageDiagnostic diagnostic;
    try {
        firmware = std::make_unique<COrnaFirmware>(imagePath.c_str(), imageVersion.c_str(), nullptr,
                                                   &diagnostic);
    } catch (...) {
        // Whatever went wrong (no file, a short or malformed one, no memory), the user
        // learns only that the file could not be read.
        transcript.Line(
            "image " + PathText(imagePath) + ": cannot be used: " + ImageRuleText(diagnostic.rule) +
            " (" + ImageRuleName(diagnostic.rule) + ", code " + std::to_string(diagnostic.code) +
            ", offset " + std::to_string(diagnostic.offset) + ")");
        messages.Show(res::IDS_READ_FAILED, ui::MB_ICONINFORMATION);
        return false;
    }
    TellImage();
    RunUpdateFlow();
    return false;
}

void CFWUpdaterAppApp::StartTranscript() {
    if (verbose) {
        transcript.AddStream(*errorStream);
    }
    if (!logPath.empty() && !transcript.AppendToFile(common::WideToNarrow(logPath))) {
        *errorStream << "firmupdater: cannot write the log file " << PathText(logPath) << '\n';
    }
    if (!transcript.Enabled()) {
        return;
    }
    std::string line = "firmupdater " FIRMUPDATER_VERSION ", arguments:";
    for (std::size_t i = 1; i < Arguments().size(); ++i) {
        line += ' ';
        line += common::WideToUtf8(Arguments()[i]);
    }
    transcript.Line(line);
    transcript.Line("interface language " + std::to_string(uiLanguage.load()));
}

bool CFWUpdaterAppApp::ChooseImage() {
    if (!chooseImage || !imagePath.empty()) {
        return true;
    }
    const CMessageDisplay messages(Ui());
    ui::FileChooserRequest request{messages.LoadText(res::IDS_CHOOSE_IMAGE),
                                   {{messages.LoadText(res::IDS_IMAGE_FILES), {L"*.img"}},
                                    {messages.LoadText(res::IDS_ALL_FILES), {L"*"}}},
                                   uiLanguage};
    const auto choice = Ui().ChooseFile(request);
    switch (choice.outcome) {
        case ui::FileChoice::Outcome::Chosen:
            transcript.Line("file chooser: " + PathText(choice.path));
            imagePath = choice.path;
            return true;
        case ui::FileChoice::Outcome::Cancelled:
            transcript.Line("file chooser: cancelled");
            return false;
        case ui::FileChoice::Outcome::NoChooser:
            break;
    }
    // The terminal has no chooser: the run goes on as without the option.
    transcript.Line("file chooser: none in this interface");
    return true;
}

void CFWUpdaterAppApp::TellImage() {
    if (!transcript.Enabled()) {
        return;
    }
    // The model code of the identity section, as the connection compares it.
    const auto model = firmware->ModelBytes();
    const auto* modelText = reinterpret_cast<const char*>(model.data());
    transcript.Line("image " + PathText(imagePath) + ": " + std::to_string(firmware->TotalSize()) +
                    " bytes, " + std::to_string(firmware->SectionCount()) + " sections, model " +
                    common::Quote(std::string(modelText, strnlen(modelText, model.size()))) +
                    ", version \"" + firmware->GetVersionText() + "\", vendor " +
                    common::FormatHex(firmware->VendorId(), 4) + ", product " +
                    common::FormatHex(firmware->ProductId(), 4) + ", end-of-update flags " +
                    common::FormatHex(firmware->Flags(), 2));
}

int CFWUpdaterAppApp::ExitInstance() {
    transcript.Line("exit code " + std::to_string(exitCode));
    firmware.reset();
    busyCheck_.ReleaseUploaderMutex();
    ui::Application::ExitInstance();
    return exitCode;
}
