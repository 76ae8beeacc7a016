#include "Linux_X11WindowTitleSearch.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <memory>
#include <optional>

#include "TextConversion.h"

namespace {

// A frame of a window manager holds few levels of its own windows around the client.
constexpr int kClientSearchDepth = 4;

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayPtr = std::unique_ptr<Display, DisplayCloser>;

struct XFreeDeleter {
    void operator()(void* data) const {
        if (data != nullptr) {
            XFree(data);
        }
    }
};

// Windows may go away while they are looked at; the requests about them then fail with
// BadWindow, which by default ends the process. While a search runs, errors on its own
// connection are ignored; errors on any other connection (the toolkit's) go to the handler
// that was installed before.
class ScopedErrorTrap {
  public:
    explicit ScopedErrorTrap(Display* display) : display_(display) {
        trapped_ = display;
        previous_ = XSetErrorHandler(&Handle);
    }
    ~ScopedErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
        trapped_ = nullptr;
    }
    ScopedErrorTrap(const ScopedErrorTrap&) = delete;
    ScopedErrorTrap& operator=(const ScopedErrorTrap&) = delete;

  private:
    static int Handle(Display* display, XErrorEvent* error) {
        if (display == trapped_ || previous_ == nullptr) {
            return 0;
        }
        return previous_(display, error);
    }

    Display* display_;
    static inline Display* trapped_ = nullptr;
    static inline XErrorHandler previous_ = nullptr;
};

class TitleReader {
  public:
    explicit TitleReader(Display* display)
        : display_(display),
          netWmName_(XInternAtom(display, "_NET_WM_NAME", False)),
          utf8String_(XInternAtom(display, "UTF8_STRING", False)),
          wmState_(XInternAtom(display, "WM_STATE", False)) {}

    std::optional<std::string> Title(Window window) const {
        if (auto name = NetWmName(window)) {
            return name;
        }
        return WmName(window);
    }

    bool HasWmState(Window window) const {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const int status =
            XGetWindowProperty(display_, window, wmState_, 0, 0, False, AnyPropertyType, &type,
                               &format, &count, &after, &data);
        std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
        return status == Success && type != None;
    }

    // The client window a window manager's frame holds: the nearest window below it with
    // WM_STATE.
    std::optional<Window> ClientInside(Window frame) const {
        std::deque<std::pair<Window, int>> queue{{frame, 0}};
        while (!queue.empty()) {
            const auto [window, depth] = queue.front();
            queue.pop_front();
            if (depth > 0 && HasWmState(window)) {
                return window;
            }
            if (depth == kClientSearchDepth) {
                continue;
            }
            for (const Window child : Children(window)) {
                queue.emplace_back(child, depth + 1);
            }
        }
        return std::nullopt;
    }

    std::vector<Window> Children(Window window) const {
        Window root = None;
        Window parent = None;
        Window* children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display_, window, &root, &parent, &children, &count) == 0) {
            return {};
        }
        std::unique_ptr<Window, XFreeDeleter> owned(children);
        return std::vector<Window>(children, children + count);
    }

  private:
    std::optional<std::string> NetWmName(Window window) const {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        // Titles are short; a megabyte is more than any real one.
        const int status = XGetWindowProperty(display_, window, netWmName_, 0, 1L << 18, False,
                                              utf8String_, &type, &format, &count, &after, &data);
        std::unique_ptr<unsigned char, XFreeDeleter> owned(data);
        if (status != Success || type != utf8String_ || format != 8 || data == nullptr) {
            return std::nullopt;
        }
        return std::string(reinterpret_cast<const char*>(data), count);
    }

    std::optional<std::string> WmName(Window window) const {
        XTextProperty property{};
        if (XGetWMName(display_, window, &property) == 0 || property.value == nullptr) {
            return std::nullopt;
        }
        std::unique_ptr<unsigned char, XFreeDeleter> value(property.value);
        if (property.encoding == XA_STRING && property.format == 8) {
            // ISO 8859-1, whatever the locale.
            std::wstring wide;
            for (unsigned long i = 0; i < property.nitems; ++i) {
                wide += static_cast<wchar_t>(property.value[i]);
            }
            return common::WideToUtf8(wide);
        }
        if (property.encoding == utf8String_ && property.format == 8) {
            return std::string(reinterpret_cast<const char*>(property.value), property.nitems);
        }
        char** list = nullptr;
        int count = 0;
        if (Xutf8TextPropertyToTextList(display_, &property, &list, &count) < Success ||
            list == nullptr) {
            return std::nullopt;
        }
        std::string text;
        for (int i = 0; i < count; ++i) {
            text += list[i];
        }
        XFreeStringList(list);
        return text;
    }

    Display* display_;
    Atom netWmName_;
    Atom utf8String_;
    Atom wmState_;
};

DisplayPtr OpenDisplay(const std::string& name) {
    if (name.empty()) {
        const char* variable = std::getenv("DISPLAY");
        if (variable == nullptr || *variable == '\0') {
            return nullptr;
        }
    }
    return DisplayPtr(XOpenDisplay(name.empty() ? nullptr : name.c_str()));
}

}  // namespace

Linux_X11WindowTitleSearch::Linux_X11WindowTitleSearch(std::string displayName)
    : displayName_(std::move(displayName)) {}

std::vector<std::string> Linux_X11WindowTitleSearch::TopLevelTitles() const {
    const auto display = OpenDisplay(displayName_);
    if (!display) {
        return {};
    }
    std::vector<std::string> titles;
    {
        ScopedErrorTrap trap(display.get());
        const TitleReader reader(display.get());
        for (int screen = 0; screen < ScreenCount(display.get()); ++screen) {
            for (const Window window : reader.Children(RootWindow(display.get(), screen))) {
                if (auto title = reader.Title(window)) {
                    titles.push_back(std::move(*title));
                }
                if (reader.HasWmState(window)) {
                    continue;
                }
                if (const auto client = reader.ClientInside(window)) {
                    if (auto title = reader.Title(*client)) {
                        titles.push_back(std::move(*title));
                    }
                }
            }
        }
    }
    return titles;
}

bool Linux_X11WindowTitleSearch::HasWindowTitled(const std::wstring& title) {
    const auto wanted = common::WideToUtf8(title);
    const auto titles = TopLevelTitles();
    return std::find(titles.begin(), titles.end(), wanted) != titles.end();
}
