#include "WxTestSupport.h"

#include <gtest/gtest.h>

#include <wx/debug.h>
#include <wx/string.h>
#include <wx/toplevel.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

#include "LabelPixels.h"
#include "WxMessageBox.h"
#include "WxUi.h"
#include "XvfbServer.h"

// After everything else: Xlib's macros (None, Status, ...) would break other headers.
#include <X11/Xatom.h>
#include <gdk/gdkx.h>

// The toolkit's libraries keep caches for the life of the process (fonts, themes, type
// registrations) that the leak checker reports at exit. Those are not ours; leaks of our
// own code are still reported. Only this test program carries these suppressions.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n"
           "leak:libglib-2.0\n"
           "leak:libgobject-2.0\n"
           "leak:libgio-2.0\n"
           "leak:libgtk-3\n"
           "leak:libgdk-3\n"
           "leak:libpango\n"
           "leak:libcairo\n"
           "leak:libharfbuzz\n"
           "leak:libX11\n"
           "leak:libwx_\n"
           "leak:libdbus\n"
           "leak:libatk\n"
           "leak:libgdk_pixbuf\n";
}

namespace wxtest {
namespace {

// Bounds the polling for a window, so a window that never shows fails the test instead of
// hanging it until the test runner's time-out.
constexpr guint kPollPeriodMs = 1;
constexpr int kPollLimit = 20000;

void FailOnAssert(const wxString& file, int line, const wxString& /*func*/, const wxString& cond,
                  const wxString& message) {
    ADD_FAILURE_AT(file.utf8_str(), line)
        << "toolkit check failed: " << cond.utf8_str() << " " << message.utf8_str();
}

class Environment : public testing::Environment {
  public:
    void SetUp() override {
        server_ = XvfbServer::Start(whyNot_);
        if (!server_) {
            return;
        }
        setenv("DISPLAY", server_->DisplayName().c_str(), 1);
        // GTK draws the title bar itself, so the screenshots show caption and close box.
        setenv("GTK_CSD", "1", 1);
        ui_ = ui::WxUi::Create(whyNot_);
        if (ui_) {
            wxSetAssertHandler(FailOnAssert);
        }
    }
    void TearDown() override {
        ui_.reset();
        server_.reset();
    }

    std::unique_ptr<XvfbServer> server_;
    std::unique_ptr<ui::WxUi> ui_;
    std::string whyNot_;
};

Environment* const environment =
    static_cast<Environment*>(testing::AddGlobalTestEnvironment(new Environment));

struct Poll {
    std::function<GtkWidget*()> find;
    std::function<void(GtkWidget*)> act;
    int left;
};

// A source of GLib's own rather than a pending event of the toolkit: it also runs in the
// loop of a message box that was opened from one of the toolkit's pending events.
gboolean PollOnce(gpointer data) {
    auto* poll = static_cast<Poll*>(data);
    GtkWidget* window = poll->find();
    if (window != nullptr && gtk_widget_get_mapped(window)) {
        auto act = std::move(poll->act);
        delete poll;
        act(window);
        return G_SOURCE_REMOVE;
    }
    if (--poll->left == 0) {
        ADD_FAILURE() << "the window was not shown";
        delete poll;
        return G_SOURCE_REMOVE;
    }
    return G_SOURCE_CONTINUE;
}

void CollectButtons(GtkWidget* widget, std::vector<GtkWidget*>& buttons) {
    if (GTK_IS_BUTTON(widget)) {
        buttons.push_back(widget);
        return;
    }
    if (GTK_IS_CONTAINER(widget)) {
        gtk_container_forall(
            GTK_CONTAINER(widget),
            [](GtkWidget* child, gpointer data) {
                CollectButtons(child, *static_cast<std::vector<GtkWidget*>*>(data));
            },
            &buttons);
    }
}

}  // namespace

ui::WxUi* Ui() {
    return environment->ui_.get();
}

const std::string& WhyNot() {
    return environment->whyNot_;
}

void WhenShown(std::function<GtkWidget*()> find, std::function<void(GtkWidget*)> act) {
    g_timeout_add(kPollPeriodMs, PollOnce, new Poll{std::move(find), std::move(act), kPollLimit});
}

ui::WxMessageBox* VisibleMessageBoxWindow() {
    for (wxWindow* window : wxTopLevelWindows) {
        if (auto* box = dynamic_cast<ui::WxMessageBox*>(window); box != nullptr && box->IsShown()) {
            return box;
        }
    }
    return nullptr;
}

GtkWidget* VisibleMessageBox() {
    auto* box = VisibleMessageBoxWindow();
    return box != nullptr ? GTK_WIDGET(box->GetHandle()) : nullptr;
}

std::vector<GtkWidget*> Buttons(GtkWidget* window) {
    std::vector<GtkWidget*> all;
    CollectButtons(window, all);
    // Without the title bar's close button, which has no label.
    std::vector<GtkWidget*> buttons;
    for (GtkWidget* button : all) {
        if (gtk_button_get_label(GTK_BUTTON(button)) != nullptr) {
            buttons.push_back(button);
        }
    }
    return buttons;
}

std::vector<std::string> ButtonLabels(GtkWidget* window) {
    std::vector<std::string> labels;
    for (GtkWidget* button : Buttons(window)) {
        labels.emplace_back(gtk_button_get_label(GTK_BUTTON(button)));
    }
    return labels;
}

bool ClickButton(GtkWidget* window, const std::string& label) {
    for (GtkWidget* button : Buttons(window)) {
        const char* text = gtk_button_get_label(GTK_BUTTON(button));
        if (text != nullptr && label == text) {
            gtk_button_clicked(GTK_BUTTON(button));
            return true;
        }
    }
    return false;
}

void SendKey(GtkWidget* window, unsigned keyval) {
    GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
    event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(window)));
    event->key.send_event = TRUE;
    event->key.time = GDK_CURRENT_TIME;
    event->key.keyval = keyval;
    GdkKeymapKey* keys = nullptr;
    gint count = 0;
    if (gdk_keymap_get_entries_for_keyval(
            gdk_keymap_get_for_display(gtk_widget_get_display(window)), keyval, &keys, &count) &&
        count > 0) {
        event->key.hardware_keycode = static_cast<guint16>(keys[0].keycode);
    }
    g_free(keys);
    GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(window));
    gdk_event_set_device(event, gdk_seat_get_keyboard(seat));
    gtk_main_do_event(event);
    gdk_event_free(event);
}

bool IsKeptAbove(GtkWidget* window) {
    GdkWindow* gdkWindow = gtk_widget_get_window(window);
    Display* display = GDK_WINDOW_XDISPLAY(gdkWindow);
    const Window xid = GDK_WINDOW_XID(gdkWindow);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, xid, XInternAtom(display, "_NET_WM_STATE", False), 0, 64, False,
                           XA_ATOM, &type, &format, &count, &after, &data) != Success ||
        data == nullptr) {
        return false;
    }
    const Atom above = XInternAtom(display, "_NET_WM_STATE_ABOVE", False);
    bool found = false;
    for (unsigned long i = 0; i < count; ++i) {
        found = found || reinterpret_cast<const Atom*>(data)[i] == above;
    }
    XFree(data);
    return found;
}

void SaveScreenshot(GtkWidget* window, const std::string& name,
                    const std::vector<std::string>& labels) {
    const std::filesystem::path folder = FU_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    // Let the toolkit finish the window's layout first.
    while (gtk_events_pending()) {
        gtk_main_iteration();
    }
    EXPECT_TRUE(gtk_widget_get_mapped(window)) << name;
    const int width = gtk_widget_get_allocated_width(window);
    const int height = gtk_widget_get_allocated_height(window);
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* context = cairo_create(surface);
    gtk_widget_draw(window, context);
    cairo_destroy(context);
    cairo_surface_flush(surface);
    // Every push button is shown, with the label expected of it, and drawn with that label.
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const auto colourAt = [stride, data](int x, int y) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, data + static_cast<std::ptrdiff_t>(y) * stride + x * 4, 4);
        return pixel;
    };
    std::vector<GtkWidget*> all;
    CollectButtons(window, all);
    std::vector<std::string> shown;
    for (GtkWidget* button : all) {
        if (gtk_widget_get_ancestor(button, GTK_TYPE_HEADER_BAR) != nullptr) {
            continue;  // the title bar's own buttons
        }
        const char* label = gtk_button_get_label(GTK_BUTTON(button));
        shown.emplace_back(label != nullptr ? label : "");
        EXPECT_TRUE(gtk_widget_is_visible(button) && gtk_widget_get_mapped(button))
            << name << ": button \"" << shown.back() << "\" is hidden";
        int x = 0;
        int y = 0;
        gtk_widget_translate_coordinates(button, window, 0, 0, &x, &y);
        EXPECT_TRUE(uitest::ShowsLabel(width, height, x, y,
                                       x + gtk_widget_get_allocated_width(button),
                                       y + gtk_widget_get_allocated_height(button), colourAt))
            << name << ": button \"" << shown.back() << "\" is not drawn in the picture";
    }
    auto expected = labels;
    std::sort(shown.begin(), shown.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(shown, expected) << name;
    EXPECT_EQ(cairo_surface_write_to_png(surface, (folder / (name + ".png")).c_str()),
              CAIRO_STATUS_SUCCESS)
        << name;
    cairo_surface_destroy(surface);
}

}  // namespace wxtest
