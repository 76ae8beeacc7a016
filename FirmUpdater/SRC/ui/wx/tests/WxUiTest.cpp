#include "WxUi.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/dialog.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>

#include "Dialog.h"
#include "LocalizedTexts.h"
#include "MessageBoxButtons.h"
#include "ResourceIds.h"
#include "ResourceLookup.h"
#include "TextConversion.h"
#include "WxDialogWindow.h"
#include "WxMessageBox.h"
#include "WxTestSupport.h"

#include <gdk/gdkkeysyms.h>

namespace {

using namespace ui;

class ScriptDialog : public Dialog {
  public:
    using Dialog::Dialog;

    std::function<bool(ScriptDialog&)> init;
    std::function<void(ScriptDialog&, unsigned)> timer;
    bool ignoreCancel = false;

    bool OnInitDialog() override { return init ? init(*this) : true; }
    void OnCancel() override {
        if (!ignoreCancel) {
            EndDialog(IDCANCEL);
        }
    }
    void OnTimer(unsigned id) override {
        if (timer) {
            timer(*this, id);
        }
    }

    WxDialogWindow& Wx() { return *dynamic_cast<WxDialogWindow*>(Window()); }
    GtkWidget* Handle() { return GTK_WIDGET(Wx().Frame().GetHandle()); }
};

using res::testing::Filled;
using res::testing::LanguageTag;
using res::testing::Text;

const res::DialogTemplate& Template(std::uint16_t id, std::uint16_t language) {
    const auto* found = res::FindDialog(*res::MatchLanguage(language), id);
    EXPECT_NE(found, nullptr);
    return *found;
}

bool FillConfirmation(ScriptDialog& dialog, std::uint16_t language) {
    dialog.SetDlgItemText(res::IDC_CURRENT_VERSION,
                          Filled(res::IDS_CURRENT_VERSION, language, L"01.20"));
    dialog.SetDlgItemText(res::IDC_NEW_VERSION, Filled(res::IDS_NEW_VERSION, language, L"01.30"));
    dialog.SetDlgItemText(res::IDC_WARNING, Text(res::IDS_UPDATE_WARNING, language));
    dialog.GotoDlgCtrl(IDCANCEL);
    return false;
}

std::wstring WithoutSpaces(std::wstring_view text) {
    std::wstring kept;
    for (const wchar_t c : text) {
        if (c != L' ' && c != L'\n') {
            kept += c;
        }
    }
    return kept;
}

// Every control lies inside the dialog and apart from the others; every static text shows
// all of its text, and the lines it is broken into fit the control in its own font.
void ExpectLaidOutWithoutClipping(WxDialogWindow& window, const std::string& name) {
    const auto& items = window.Template().items;
    const wxRect client(window.Frame().GetClientSize());
    for (std::size_t i = 0; i < items.size(); ++i) {
        const wxRect rect = window.Control(i).GetRect();
        EXPECT_TRUE(client.Contains(rect)) << name << " item " << i;
        for (std::size_t j = i + 1; j < items.size(); ++j) {
            EXPECT_FALSE(rect.Intersects(window.Control(j).GetRect()))
                << name << " items " << i << " " << j;
        }
        if (items[i].controlClass != res::ControlClass::Static) {
            continue;
        }
        auto& control = window.Control(i);
        const auto shown = window.ShownText(i);
        EXPECT_EQ(WithoutSpaces(shown), WithoutSpaces(window.TextAt(i))) << name << " item " << i;
        int width = 0;
        int height = 0;
        std::size_t start = 0;
        while (start <= shown.size() && !shown.empty()) {
            const auto end = std::min(shown.find(L'\n', start), shown.size());
            const auto line = shown.substr(start, end - start);
            const wxSize extent = control.GetTextExtent(wxString(line.empty() ? L"X" : line));
            width = std::max(width, extent.x);
            height += extent.y;
            start = end + 1;
        }
        EXPECT_LE(width, rect.width) << name << " item " << i << ": " << common::WideToUtf8(shown);
        EXPECT_LE(height, rect.height)
            << name << " item " << i << ": " << common::WideToUtf8(shown);
        // What the toolkit itself asks for the label.
        EXPECT_LE(control.GetBestSize().x, rect.width) << name << " item " << i;
        EXPECT_LE(control.GetBestSize().y, rect.height) << name << " item " << i;
        const wxSize templateSize =
            window.Frame().ConvertDialogToPixels(wxSize(items[i].cx, items[i].cy));
        if (rect.height > templateSize.y) {
            std::cout << name << ": text " << i << " grown from " << templateSize.y << " to "
                      << rect.height << " pixels\n";
        }
    }
}

class WxUiTest : public testing::Test {
  protected:
    void SetUp() override {
        if (wxtest::Ui() == nullptr) {
            GTEST_SKIP() << "no desktop for this test: " << wxtest::WhyNot();
        }
    }
    WxUi& Ui() { return *wxtest::Ui(); }
};

// Runs `dialog` from the template and calls `whenShown` once its window is on the screen.
int RunShown(WxUi& ui, ScriptDialog& dialog, const res::DialogTemplate& dialogTemplate,
             std::function<void(ScriptDialog&)> whenShown, Dialog* parent = nullptr) {
    wxtest::WhenShown(
        [&dialog]() -> GtkWidget* {
            return dialog.Window() != nullptr ? dialog.Handle() : nullptr;
        },
        [&dialog, whenShown = std::move(whenShown)](GtkWidget*) { whenShown(dialog); });
    return ui.RunModalDialog(dialogTemplate, dialog, parent);
}

TEST_F(WxUiTest, ConfirmationDialogInEveryLanguageShowsEverythingAndEnterAnswersNo) {
    for (const auto* resources : res::AllLanguages()) {
        const auto language = resources->language;
        const auto name = "confirm-" + LanguageTag(language);
        const auto& dialogTemplate = Template(res::IDD_CONFIRM, language);
        ScriptDialog dialog(Ui());
        dialog.init = [language](ScriptDialog& d) { return FillConfirmation(d, language); };
        const int result = RunShown(Ui(), dialog, dialogTemplate, [&](ScriptDialog& d) {
            auto& window = d.Wx();
            ExpectLaidOutWithoutClipping(window, name);
            EXPECT_EQ(window.Frame().GetTitle().ToStdWstring(), dialogTemplate.caption);
            EXPECT_EQ(window.Frame().GetIcons().GetIconCount(), 6u);
            EXPECT_TRUE(gtk_window_get_deletable(GTK_WINDOW(d.Handle())));
            EXPECT_EQ(window.Focus(), IDCANCEL) << name;
            EXPECT_TRUE(gtk_widget_is_focus(GTK_WIDGET(window.Control(1).GetHandle()))) << name;
            // The buttons stay where the template puts them across; only texts above may
            // push them down.
            for (std::size_t i = 0; i < 2; ++i) {
                const auto& item = dialogTemplate.items[i];
                const wxRect rect = window.Control(i).GetRect();
                const wxPoint at = window.Frame().ConvertDialogToPixels(wxPoint(item.x, item.y));
                const wxSize size = window.Frame().ConvertDialogToPixels(wxSize(item.cx, item.cy));
                EXPECT_EQ(rect.x, at.x);
                EXPECT_GE(rect.y, at.y);
                EXPECT_EQ(rect.GetSize(), size);
            }
            wxtest::SaveScreenshot(d.Handle(), name,
                                   {common::WideToUtf8(dialogTemplate.items[0].text),
                                    common::WideToUtf8(dialogTemplate.items[1].text)});
            wxtest::SendKey(d.Handle(), GDK_KEY_Return);
        });
        EXPECT_EQ(result, IDCANCEL) << name;
    }
}

TEST_F(WxUiTest, ConfirmationDialogAnswersByButtonKeyAndCloseBox) {
    const struct {
        const char* what;
        std::function<void(ScriptDialog&)> act;
        int result;
    } cases[] = {
        {"Yes clicked",
         [](ScriptDialog& d) { EXPECT_TRUE(wxtest::ClickButton(d.Handle(), "Yes")); }, IDOK},
        {"No clicked", [](ScriptDialog& d) { EXPECT_TRUE(wxtest::ClickButton(d.Handle(), "No")); },
         IDCANCEL},
        {"Esc", [](ScriptDialog& d) { wxtest::SendKey(d.Handle(), GDK_KEY_Escape); }, IDCANCEL},
        {"close box", [](ScriptDialog& d) { gtk_window_close(GTK_WINDOW(d.Handle())); }, IDCANCEL},
        {"Enter on Yes",
         [](ScriptDialog& d) {
             d.GotoDlgCtrl(IDOK);
             wxtest::SendKey(d.Handle(), GDK_KEY_Return);
         },
         IDOK},
    };
    for (const auto& c : cases) {
        ScriptDialog dialog(Ui());
        dialog.init = [](ScriptDialog& d) { return FillConfirmation(d, res::LANG_ENGLISH); };
        EXPECT_EQ(RunShown(Ui(), dialog, Template(res::IDD_CONFIRM, res::LANG_ENGLISH), c.act),
                  c.result)
            << c.what;
    }
}

TEST_F(WxUiTest, ProgressDialogInEveryLanguageHasNoCloseBoxIgnoresEscAndRunsOnItsTimer) {
    for (const auto* resources : res::AllLanguages()) {
        const auto language = resources->language;
        const auto name = "progress-" + LanguageTag(language);
        const auto& dialogTemplate = Template(res::IDD_PROGRESS, language);
        ScriptDialog dialog(Ui());
        dialog.ignoreCancel = true;
        int ticks = 0;
        bool shown = false;
        dialog.init = [](ScriptDialog& d) {
            EXPECT_EQ(d.SetTimer(1, std::chrono::milliseconds(1)), 1u);
            return true;
        };
        dialog.timer = [&](ScriptDialog& d, unsigned) {
            d.SetProgressPos(res::IDC_PROGRESS, ticks++);
            // Ends itself some ticks after Esc and the close box had their (no) effect.
            if (shown && ticks > 30) {
                d.EndDialog(IDOK);
            }
        };
        const int result = RunShown(Ui(), dialog, dialogTemplate, [&](ScriptDialog& d) {
            auto& window = d.Wx();
            ExpectLaidOutWithoutClipping(window, name);
            EXPECT_FALSE(window.Frame().HasFlag(wxCLOSE_BOX));
            EXPECT_FALSE(window.Frame().HasFlag(wxSYSTEM_MENU));
            EXPECT_FALSE(gtk_window_get_deletable(GTK_WINDOW(d.Handle())));
            EXPECT_EQ(window.Frame().GetIcons().GetIconCount(), 6u);
            wxtest::SendKey(d.Handle(), GDK_KEY_Escape);
            gtk_window_close(GTK_WINDOW(d.Handle()));
            EXPECT_TRUE(d.IsRunning());
            wxtest::SaveScreenshot(d.Handle(), name, {});
            shown = true;
        });
        EXPECT_EQ(result, IDOK) << name;
        EXPECT_GT(ticks, 30) << name;
    }
}

TEST_F(WxUiTest, AnAmountMakesTheProgressBarDeterminateAndFillsItToTheFraction) {
    ScriptDialog dialog(Ui());
    dialog.ignoreCancel = true;
    const int result =
        RunShown(Ui(), dialog, Template(res::IDD_PROGRESS, res::LANG_ENGLISH), [](ScriptDialog& d) {
            auto* bar = GTK_PROGRESS_BAR(d.Wx().Control(0).GetHandle());
            const struct {
                std::uint64_t done, total;
                double fraction;
            } cases[] = {{0, 512 * 1024, 0.0},
                         {600, 500, 1.0},
                         {1, 0, 0.0},
                         {std::uint64_t{1} << 62, std::uint64_t{1} << 63, 0.5},
                         {241 * 1024, 512 * 1024, 241.0 / 512}};
            for (const auto& c : cases) {
                d.SetProgressAmount(res::IDC_PROGRESS, c.done, c.total);
                EXPECT_NEAR(gtk_progress_bar_get_fraction(bar), c.fraction, 0.001)
                    << c.done << " of " << c.total;
            }
            // Ticks no longer move a bar that shows an amount.
            d.SetProgressPos(res::IDC_PROGRESS, 77);
            EXPECT_NEAR(gtk_progress_bar_get_fraction(bar), 241.0 / 512, 0.001);
            wxtest::SaveScreenshot(d.Handle(), "progress-measured-en", {});
            d.EndDialog(IDOK);
        });
    EXPECT_EQ(result, IDOK);
}

// Whether the box shows this icon of the desktop's art.
bool ShowsIcon(wxWindow& box, const wxArtID& icon) {
    const wxImage expected = wxArtProvider::GetBitmap(icon, wxART_MESSAGE_BOX).ConvertToImage();
    for (wxWindow* child : box.GetChildren()) {
        if (auto* bitmap = dynamic_cast<wxStaticBitmap*>(child)) {
            const wxImage shown = bitmap->GetBitmap().ConvertToImage();
            return shown.IsOk() && expected.IsOk() && shown.GetSize() == expected.GetSize() &&
                   std::equal(shown.GetData(),
                              shown.GetData() + shown.GetWidth() * shown.GetHeight() * 3,
                              expected.GetData());
        }
    }
    return false;
}

struct BoxKind {
    const char* name;
    std::uint16_t text;
    std::uint32_t style;
};

constexpr BoxKind kBoxKinds[] = {
    {"information", res::IDS_UPDATE_COMPLETED, MB_ICONINFORMATION},
    {"exclamation", res::IDS_UPDATE_FAILED, MB_ICONEXCLAMATION},
    {"retry-cancel", res::IDS_NOT_CONNECTED_AGAIN, MB_ICONEXCLAMATION | MB_RETRYCANCEL},
};

MessageBoxRequest Request(const BoxKind& kind, std::uint16_t language,
                          const Dialog* owner = nullptr) {
    return {Text(kind.text, language), Text(res::IDS_APP_CAPTION, language),
            kind.style | MB_TOPMOST, language, owner};
}

TEST_F(WxUiTest, MessageBoxesInEveryLanguageAreTopMostWithTheirIconAndButtonLabels) {
    for (const auto* resources : res::AllLanguages()) {
        const auto language = resources->language;
        const auto& labels = ButtonLabelsFor(language);
        for (const auto& kind : kBoxKinds) {
            const auto name = std::string("box-") + kind.name + "-" + LanguageTag(language);
            const bool retry = (kind.style & MB_TYPEMASK) == MB_RETRYCANCEL;
            const auto first = common::WideToUtf8(retry ? labels.retry : labels.ok);
            wxtest::WhenShown(wxtest::VisibleMessageBox, [&](GtkWidget* box) {
                EXPECT_EQ(common::Utf8ToWide(gtk_window_get_title(GTK_WINDOW(box))),
                          Text(res::IDS_APP_CAPTION, language));
                EXPECT_TRUE(wxtest::IsKeptAbove(box)) << name;
                EXPECT_TRUE(ShowsIcon(*wxtest::VisibleMessageBoxWindow(),
                                      (kind.style & MB_ICONMASK) == MB_ICONINFORMATION
                                          ? wxART_INFORMATION
                                          : wxART_WARNING))
                    << name;
                const auto shownLabels = wxtest::ButtonLabels(box);
                const std::set<std::string> expected =
                    retry ? std::set<std::string>{first, common::WideToUtf8(labels.cancel)}
                          : std::set<std::string>{first};
                EXPECT_EQ(std::set<std::string>(shownLabels.begin(), shownLabels.end()), expected)
                    << name;
                wxtest::SaveScreenshot(box, name, {expected.begin(), expected.end()});
                EXPECT_TRUE(wxtest::ClickButton(box, first)) << name;
            });
            EXPECT_EQ(Ui().ShowMessageBox(Request(kind, language)), retry ? IDRETRY : IDOK) << name;
        }
    }
}

TEST_F(WxUiTest, MessageBoxAnswersWithoutAButtonAreWhatTheBoxCanGive) {
    const auto& labels = ButtonLabelsFor(res::LANG_GERMAN);
    const struct {
        const char* what;
        std::uint32_t style;
        std::function<void(GtkWidget*)> act;
        int result;
    } cases[] = {
        {"Cancel", MB_ICONEXCLAMATION | MB_RETRYCANCEL,
         [&](GtkWidget* box) {
             EXPECT_TRUE(wxtest::ClickButton(box, common::WideToUtf8(labels.cancel)));
         },
         IDCANCEL},
        {"Esc on Retry/Cancel", MB_ICONEXCLAMATION | MB_RETRYCANCEL,
         [](GtkWidget* box) { wxtest::SendKey(box, GDK_KEY_Escape); }, IDCANCEL},
        {"closed Retry/Cancel", MB_ICONEXCLAMATION | MB_RETRYCANCEL,
         [](GtkWidget* box) { gtk_window_close(GTK_WINDOW(box)); }, IDCANCEL},
        {"Esc on OK", MB_ICONINFORMATION,
         [](GtkWidget* box) { wxtest::SendKey(box, GDK_KEY_Escape); }, IDOK},
        {"Enter on Retry/Cancel", MB_ICONEXCLAMATION | MB_RETRYCANCEL,
         [](GtkWidget* box) { wxtest::SendKey(box, GDK_KEY_Return); }, IDRETRY},
    };
    for (const auto& c : cases) {
        wxtest::WhenShown(wxtest::VisibleMessageBox, c.act);
        EXPECT_EQ(Ui().ShowMessageBox(
                      {L"text", L"caption", c.style | MB_TOPMOST, res::LANG_GERMAN, nullptr}),
                  c.result)
            << c.what;
    }
}

TEST_F(WxUiTest, WorkerBoxIsShownOverTheDialogWhileItsTimerKeepsTicking) {
    // A worker thread asks for a box while the dialog runs, and reports "finished" only
    // once it has its answer; the dialog ends on the first tick after that.
    ScriptDialog dialog(Ui());
    dialog.ignoreCancel = true;
    std::atomic<bool> finished{false};
    std::atomic<int> ticks{0};
    int answer = 0;
    int ticksWhileOpen = 0;
    std::thread worker;
    dialog.init = [&](ScriptDialog& d) {
        d.SetTimer(1, std::chrono::milliseconds(1));
        worker = std::thread([&] {
            answer = Ui().ShowMessageBox(Request(kBoxKinds[2], res::LANG_RUSSIAN, &dialog));
            finished = true;
        });
        return true;
    };
    dialog.timer = [&](ScriptDialog& d, unsigned) {
        d.SetProgressPos(res::IDC_PROGRESS, ++ticks);
        if (finished) {
            d.EndDialog(-1);
        }
    };
    std::function<void(GtkWidget*)> whileOpen;
    int ticksAtOpen = -1;
    whileOpen = [&](GtkWidget* box) {
        if (ticksAtOpen < 0) {
            ticksAtOpen = ticks;
            EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(box)), GTK_WINDOW(dialog.Handle()));
        }
        if (ticks - ticksAtOpen < 5) {
            wxtest::WhenShown(wxtest::VisibleMessageBox, whileOpen);
            return;
        }
        ticksWhileOpen = ticks - ticksAtOpen;
        EXPECT_FALSE(finished);
        EXPECT_TRUE(wxtest::ClickButton(
            box, common::WideToUtf8(ButtonLabelsFor(res::LANG_RUSSIAN).cancel)));
    };
    wxtest::WhenShown(wxtest::VisibleMessageBox, whileOpen);
    const int result =
        Ui().RunModalDialog(Template(res::IDD_PROGRESS, res::LANG_RUSSIAN), dialog, nullptr);
    worker.join();
    EXPECT_EQ(result, -1);
    EXPECT_EQ(answer, IDCANCEL);
    EXPECT_GE(ticksWhileOpen, 5);
}

TEST_F(WxUiTest, ANestedDialogRunsOverItsParentAndAHandlersExceptionEndsItAndReachesTheCaller) {
    ScriptDialog parent(Ui());
    ScriptDialog child(Ui());
    int childResult = 0;
    parent.init = [&](ScriptDialog& d) {
        child.init = [&](ScriptDialog& c) {
            c.SetTimer(7, std::chrono::milliseconds(1));
            return true;
        };
        child.timer = [&](ScriptDialog& c, unsigned id) {
            EXPECT_EQ(id, 7u);
            EXPECT_EQ(gtk_window_get_transient_for(GTK_WINDOW(c.Handle())), GTK_WINDOW(d.Handle()));
            // Input to the parent is blocked while the child is modal.
            EXPECT_TRUE(gtk_window_get_modal(GTK_WINDOW(c.Handle())));
            throw std::runtime_error("handler failed");
        };
        d.SetTimer(1, std::chrono::milliseconds(1));
        return true;
    };
    parent.timer = [&](ScriptDialog& d, unsigned) {
        d.KillTimer(1);
        try {
            childResult =
                Ui().RunModalDialog(Template(res::IDD_PROGRESS, res::LANG_ENGLISH), child, &d);
        } catch (const std::runtime_error& error) {
            EXPECT_STREQ(error.what(), "handler failed");
            childResult = -2;
        }
        EXPECT_FALSE(child.IsRunning());
        d.EndDialog(5);
    };
    EXPECT_EQ(Ui().RunModalDialog(Template(res::IDD_CONFIRM, res::LANG_ENGLISH), parent, nullptr),
              5);
    EXPECT_EQ(childResult, -2);
}

// The menu entries' chooser: GTK's, with the request's title and types, the first type
// selected; Cancel answers Cancelled.
TEST_F(WxUiTest, TheFileChooserShowsTitleAndTypesAndCancelChoosesNothing) {
    for (const auto language : {res::LANG_ENGLISH, res::LANG_JAPANESE}) {
        const FileChooserRequest request{Text(res::IDS_CHOOSE_IMAGE, language),
                                         {{Text(res::IDS_IMAGE_FILES, language), {L"*.img"}},
                                          {Text(res::IDS_ALL_FILES, language), {L"*"}}},
                                         language};
        bool seen = false;
        wxtest::WhenShown(
            []() -> GtkWidget* {
                GtkWidget* found = nullptr;
                GList* windows = gtk_window_list_toplevels();
                for (GList* w = windows; w != nullptr; w = w->next) {
                    auto* widget = GTK_WIDGET(w->data);
                    if (GTK_IS_FILE_CHOOSER_DIALOG(widget) && gtk_widget_get_visible(widget)) {
                        found = widget;
                    }
                }
                g_list_free(windows);
                return found;
            },
            [&](GtkWidget* chooser) {
                seen = true;
                EXPECT_EQ(common::Utf8ToWide(gtk_window_get_title(GTK_WINDOW(chooser))),
                          request.title);
                std::vector<std::wstring> names;
                GSList* filters = gtk_file_chooser_list_filters(GTK_FILE_CHOOSER(chooser));
                for (GSList* f = filters; f != nullptr; f = f->next) {
                    names.push_back(
                        common::Utf8ToWide(gtk_file_filter_get_name(GTK_FILE_FILTER(f->data))));
                }
                g_slist_free(filters);
                EXPECT_EQ(names, (std::vector<std::wstring>{request.filters[0].name + L" (*.img)",
                                                            request.filters[1].name + L" (*)"}));
                GtkFileFilter* selected = gtk_file_chooser_get_filter(GTK_FILE_CHOOSER(chooser));
                ASSERT_NE(selected, nullptr);
                EXPECT_EQ(common::Utf8ToWide(gtk_file_filter_get_name(selected)), names.at(0));
                gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_CANCEL);
            });
        const auto choice = Ui().ChooseFile(request);
        EXPECT_TRUE(seen);
        EXPECT_EQ(choice.outcome, FileChoice::Outcome::Cancelled);
        EXPECT_TRUE(choice.path.empty());
    }
}

// One dialog at a time: a dialog hidden while the one over it runs keeps running (its
// modal loop is not ended by hiding it), and the progress dialog offers no way to park it.
TEST_F(WxUiTest, AParentHiddenUnderItsChildKeepsRunningAndTheProgressDialogHasNoMinimizeBox) {
    ScriptDialog parent(Ui());
    ScriptDialog child(Ui());
    int childResult = 0;
    parent.init = [&](ScriptDialog& d) {
        d.SetTimer(1, std::chrono::milliseconds(1));
        return true;
    };
    child.init = [](ScriptDialog& c) {
        c.SetTimer(2, std::chrono::milliseconds(1));
        return true;
    };
    child.timer = [&](ScriptDialog& c, unsigned) {
        EXPECT_TRUE(gtk_widget_get_visible(c.Handle()));
        EXPECT_FALSE(gtk_widget_get_visible(parent.Handle())) << "hidden under the child";
        EXPECT_TRUE(parent.IsRunning());
        const auto& frame = c.Wx().Frame();
        EXPECT_FALSE(frame.HasFlag(wxMINIMIZE_BOX));
        EXPECT_FALSE(frame.HasFlag(wxMAXIMIZE_BOX));
        EXPECT_FALSE(gtk_window_get_resizable(GTK_WINDOW(c.Handle())));
        c.EndDialog(IDOK);
    };
    parent.timer = [&](ScriptDialog& d, unsigned) {
        d.KillTimer(1);
        d.ShowWindow(false);
        childResult =
            Ui().RunModalDialog(Template(res::IDD_PROGRESS, res::LANG_ENGLISH), child, &d);
        EXPECT_TRUE(d.IsRunning()) << "hiding did not end it";
        d.EndDialog(7);
    };
    EXPECT_EQ(Ui().RunModalDialog(Template(res::IDD_CONFIRM, res::LANG_ENGLISH), parent, nullptr),
              7);
    EXPECT_EQ(childResult, IDOK);
}

}  // namespace
