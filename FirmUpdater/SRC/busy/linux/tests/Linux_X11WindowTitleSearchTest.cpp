#include "Linux_X11WindowTitleSearch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "TextConversion.h"
#include "XvfbServer.h"

// After everything else: Xlib's macros (None, Status, ...) would break other headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace {

class X11WindowTitleSearchTest : public testing::Test {
  protected:
    static void SetUpTestSuite() { server_ = XvfbServer::Start(whyNot_).release(); }
    static void TearDownTestSuite() {
        delete server_;
        server_ = nullptr;
    }

    void SetUp() override {
        if (server_ == nullptr) {
            GTEST_SKIP() << "no X server for this test: " << whyNot_;
        }
        display_ = XOpenDisplay(server_->DisplayName().c_str());
        ASSERT_NE(display_, nullptr);
    }
    void TearDown() override {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }

    Window Create(Window parent) {
        const Window window = XCreateSimpleWindow(display_, parent, 0, 0, 50, 50, 0, 0, 0);
        return window;
    }
    Window TopLevel() { return Create(DefaultRootWindow(display_)); }

    void SetNetWmName(Window window, const std::string& utf8) {
        XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_NAME", False),
                        XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(utf8.data()),
                        static_cast<int>(utf8.size()));
    }
    void SetWmName(Window window, const std::string& latin1) {
        XChangeProperty(display_, window, XA_WM_NAME, XA_STRING, 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(latin1.data()),
                        static_cast<int>(latin1.size()));
    }
    void SetWmState(Window window) {
        const long state[2] = {1, 0};
        const Atom wmState = XInternAtom(display_, "WM_STATE", False);
        XChangeProperty(display_, window, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(state), 2);
    }
    void Sync() { XSync(display_, False); }

    Linux_X11WindowTitleSearch Search() const {
        return Linux_X11WindowTitleSearch(server_->DisplayName());
    }

    static inline XvfbServer* server_ = nullptr;
    static inline std::string whyNot_;
    Display* display_ = nullptr;
};

TEST_F(X11WindowTitleSearchTest, FindsTopLevelWindowsByTheirExactTitle) {
    const Window utf8 = TopLevel();
    SetNetWmName(utf8, "ファームウェア更新ツール");
    SetWmName(utf8, "fallback not used");
    const Window latin1 = TopLevel();
    SetWmName(latin1, "Mod\xE8le Preset Tool");  // ISO 8859-1
    const Window unmapped = TopLevel();
    SetNetWmName(unmapped, "Kavel Pelmora");
    XMapWindow(display_, utf8);
    XMapWindow(display_, latin1);
    Sync();

    auto search = Search();
    EXPECT_TRUE(search.HasWindowTitled(L"ファームウェア更新ツール"));
    EXPECT_TRUE(search.HasWindowTitled(L"Mod\u00E8le Preset Tool"));
    EXPECT_TRUE(search.HasWindowTitled(L"Kavel Pelmora"));
    for (const wchar_t* other :
         {L"fallback not used", L"Kavel", L"kavel pelmora", L"Kavel Pelmora ", L""}) {
        EXPECT_FALSE(search.HasWindowTitled(other)) << common::WideToUtf8(other);
    }

    XDestroyWindow(display_, unmapped);
    Sync();
    EXPECT_FALSE(search.HasWindowTitled(L"Kavel Pelmora"));
}

TEST_F(X11WindowTitleSearchTest, LooksIntoWindowManagerFramesButNotIntoApplicationWindows) {
    // A frame as a reparenting window manager makes it: an untitled window, a decoration
    // window, and the client with WM_STATE below that.
    const Window frame = TopLevel();
    const Window decoration = Create(frame);
    const Window client = Create(decoration);
    SetWmState(client);
    SetNetWmName(client, "Arm Unit Record List");
    // An application's own child window with a title is no top-level window.
    const Window application = TopLevel();
    SetWmState(application);
    SetWmName(application, "Main");
    SetWmName(Create(application), "Child of an application");
    Sync();

    auto search = Search();
    EXPECT_TRUE(search.HasWindowTitled(L"Arm Unit Record List"));
    EXPECT_TRUE(search.HasWindowTitled(L"Main"));
    EXPECT_FALSE(search.HasWindowTitled(L"Child of an application"));
}

TEST(X11WindowTitleSearchWithoutDisplay, FindsNothing) {
    // A display number no server uses, and no DISPLAY at all.
    EXPECT_FALSE(Linux_X11WindowTitleSearch(":59999").HasWindowTitled(L"Kavel Pelmora"));

    const char* saved = std::getenv("DISPLAY");
    const std::string restore = saved != nullptr ? saved : "";
    unsetenv("DISPLAY");
    EXPECT_TRUE(Linux_X11WindowTitleSearch().TopLevelTitles().empty());
    if (saved != nullptr) {
        setenv("DISPLAY", restore.c_str(), 1);
    }
}

}  // namespace
