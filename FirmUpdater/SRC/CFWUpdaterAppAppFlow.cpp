// The update flow: everything between the loaded image and the end of the run.
#include <cstring>

#include "ArmillonException.h"
#include "ArmillonExceptionCodes.h"
#include "CFWUpdaterAppApp.h"
#include "CFWUpdaterAppDlg.h"
#include "CMessageDisplay.h"
#include "COrnaFirmware.h"
#include "CTalvenComm.h"
#include "DeviceClockSynchronization.h"
#include "MessageBoxRequest.h"
#include "OrnaVersionUpDecision.h"
#include "ResourceIds.h"
#include "SDeviceInformation.h"
#include "TextConversion.h"
#include "UiLanguage.h"

namespace {

constexpr std::uint32_t kRetryCancel = ui::MB_ICONEXCLAMATION | ui::MB_RETRYCANCEL;

// The model code bytes as text: a zero byte ends it early.
std::wstring ProductCodeOf(const COrnaFirmware& image) {
    const auto bytes = image.ModelBytes();
    const auto* text = reinterpret_cast<const char*>(bytes.data());
    return common::NarrowToWide(std::string_view(text, strnlen(text, bytes.size())));
}

// "A KORVELIN of model 712E is connected; this image is for model 612E.", naming every
// other model found.
std::wstring OtherModelLine(const CMessageDisplay& messages,
                            const std::vector<std::wstring>& otherModels,
                            const std::wstring& imageModel) {
    std::wstring found;
    for (const auto& model : otherModels) {
        found += found.empty() ? model : L", " + model;
    }
    return messages.FormatText(res::IDS_OTHER_MODEL, {found, imageModel});
}

// The main window is the confirmation dialog only while it runs.
struct MainWindowScope {
    ui::Application& app;
    MainWindowScope(ui::Application& app, ui::Dialog& window) : app(app) {
        app.mainWindow = &window;
    }
    ~MainWindowScope() { app.mainWindow = nullptr; }
};

}  // namespace

std::int32_t CFWUpdaterAppApp::ConnectDevice(CTalvenComm& facade, COrnaFirmware& image,
                                             int attempt) {
    const auto productCode = ProductCodeOf(image);
    const CMessageDisplay messages(Ui());
    const bool busy = IsUploaderBusy();
    transcript.Line("busy check: " + busyCheck_.LastFinding());
    if (busy) {
        messages.Show(res::IDS_BUSY, ui::MB_ICONINFORMATION);
        throw ArmillonException(exception_code::kQuietEnd);
    }
    try {
        transcript.Line("connection attempt " + std::to_string(attempt + 1) +
                        ": looking for a watch with the model code \"" +
                        common::WideToUtf8(productCode) + "\"");
        facade.Connect(image.VendorId(), image.ProductId(), productCode.c_str());
        return 0;
    } catch (const DeviceException& e) {
        transcript.Line("connection attempt " + std::to_string(attempt + 1) + ": " +
                        (e.code == exception_code::kNotConnected ? "no matching watch"
                         : e.code == exception_code::kSeveralConnected
                             ? "several matching watches"
                             : "the watch cannot be opened") +
                        " (" + std::to_string(e.code) + ")");
        std::uint16_t prompt = 0;
        if (e.code == exception_code::kNotConnected) {
            prompt = attempt == 0 ? res::IDS_NOT_CONNECTED_FIRST : res::IDS_NOT_CONNECTED_AGAIN;
        } else if (e.code == exception_code::kSeveralConnected) {
            prompt = res::IDS_SEVERAL_CONNECTED;
        } else {
            throw DeviceException(e.code);
        }
        std::wstring text = messages.LoadText(prompt);
        if (e.code == exception_code::kNotConnected && !facade.OtherModelCodes().empty()) {
            // A watch is in the cradle, only not one the image is for: say so, or the user
            // replugs a watch that is plugged in.
            const auto line = OtherModelLine(messages, facade.OtherModelCodes(), productCode);
            transcript.Line("connection attempt " + std::to_string(attempt + 1) + ": " +
                            common::WideToUtf8(line));
            text += L'\n';
            text += line;
        }
        if (messages.ShowText(text, kRetryCancel) == ui::IDCANCEL) {
            throw ArmillonException(exception_code::kQuietEnd);
        }
        return -1;
    }
}

void CFWUpdaterAppApp::TellWatch(CTalvenComm& facade, const std::wstring& version,
                                 const std::wstring& productText2,
                                 const std::wstring& productText3) {
    if (!transcript.Enabled()) {
        return;
    }
    std::string hardware = "(unknown)";
    std::unique_ptr<ArmillonDevice::SDeviceInformation> information;
    if (auto* creator = facade.GetCreator();
        creator != nullptr && creator->GetDeviceInformation(information).IsSuccess() &&
        information) {
        hardware = common::Quote(common::WideToUtf8(information->hardwareText));
    }
    transcript.Line("watch: firmware version \"" + common::WideToUtf8(version) +
                    "\", product texts \"" + common::WideToUtf8(productText2) + "\" and \"" +
                    common::WideToUtf8(productText3) + "\", hardware text " + hardware);
}

std::unique_ptr<VersionUpDecision> CFWUpdaterAppApp::CreateDecision() {
    return std::make_unique<OrnaVersionUpDecision>(firmware.get());
}

const res::DialogTemplate* CFWUpdaterAppApp::FindConfirmationTemplate() const {
    return FindUiDialogTemplate(res::IDD_CONFIRM);
}

int CFWUpdaterAppApp::ConfirmAndUpdate(CTalvenComm& facade) {
    CFWUpdaterAppDlg dialog(Ui(), &facade, firmware.get());
    const MainWindowScope main(*this, dialog);
    const auto* found = FindConfirmationTemplate();
    return found != nullptr ? dialog.DoModal(*found, nullptr) : 0;
}

void CFWUpdaterAppApp::RunUpdateFlow() {
    if (!firmware) {
        return;
    }
    const auto decision = CreateDecision();
    const CMessageDisplay messages(Ui());
    try {
        // The facade closes the watch's connection when it goes, on every way out.
        CTalvenComm facade(hid_);
        if (transcript.Enabled()) {
            facade.SetTranscript(&transcript);
        }
        for (int attempt = 0; ConnectDevice(facade, *firmware, attempt) != 0; ++attempt) {
        }
        SynchronizeDeviceClock(facade, clockMode);

        // A failed query leaves its text empty; the decision then works with that.
        std::wstring current;
        std::wstring productText3;
        std::wstring productText2;
        facade.GetFirmwareVersion(current);
        facade.GetProductInfo(productText3, productText2);
        TellWatch(facade, current, productText2, productText3);
        if (forceUpdate != 0) {
            transcript.Line("decision: not consulted (/f), the update is offered");
        } else {
            const auto decided =
                decision->Decide(current.c_str(), productText2.c_str(), productText3.c_str());
            transcript.Line(std::string("decision: ") +
                            (decided == VersionUpDecision::UPDATE_NOT_NEEDED   ? "UPDATE_NOT_NEEDED"
                             : decided == VersionUpDecision::UPDATE_IMPOSSIBLE ? "UPDATE_IMPOSSIBLE"
                                                                               : "UPDATE_NEEDED") +
                            " (watch \"" + common::WideToUtf8(current) + "\", image \"" +
                            firmware->GetVersionText() + "\")");
            switch (decided) {
                case VersionUpDecision::UPDATE_NOT_NEEDED: {
                    std::wstring offered = common::NarrowToWide(firmware->GetVersionText());
                    offered += common::NarrowToWide(firmware->GetModelText());
                    messages.ShowText(messages.FormatText(res::IDS_UP_TO_DATE, {current, offered}),
                                      ui::MB_ICONINFORMATION);
                    exitCode = 0;
                    throw ArmillonException(exception_code::kQuietEnd);
                }
                case VersionUpDecision::UPDATE_IMPOSSIBLE:
                    messages.Show(res::IDS_CANNOT_UPDATE, ui::MB_ICONINFORMATION);
                    exitCode = 0;
                    throw ArmillonException(exception_code::kQuietEnd);
                default:
                    break;
            }
        }

        switch (ConfirmAndUpdate(facade)) {
            case ui::IDOK:
                transcript.Line("outcome: update completed");
                messages.Show(res::IDS_UPDATE_COMPLETED, ui::MB_ICONINFORMATION);
                exitCode = 0;
                break;
            case ui::IDCANCEL:
                transcript.Line("outcome: the user declined the update");
                messages.Show(res::IDS_UPDATE_ABORTED, ui::MB_ICONINFORMATION);
                break;
            default:
                // A failed update has shown its message already; a missing template shows
                // none.
                transcript.Line("outcome: the update failed");
                break;
        }
    } catch (const ArmillonException& e) {
        if (e.code == exception_code::kQuietEnd || e.code == exception_code::kQuietEndAlso) {
            transcript.Line("outcome: the run ends without an update");
            return;
        }
        transcript.Line("outcome: failed before the update with code " + std::to_string(e.code));
        if (e.code == exception_code::kUsbTrouble) {
            messages.Show(res::IDS_USB_TROUBLE, ui::MB_ICONINFORMATION);
        } else {
            messages.Show(res::IDS_UPDATE_FAILED, ui::MB_ICONEXCLAMATION);
        }
    } catch (...) {
        transcript.Line("outcome: failed before the update");
        messages.Show(res::IDS_UPDATE_FAILED, ui::MB_ICONEXCLAMATION);
    }
}
