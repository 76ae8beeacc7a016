#include "Windows_WindowAnnouncer.h"

#include <windows.h>

#include <functional>
#include <future>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// A task for the window thread; lParam points to the std::function to run.
constexpr UINT kRunTask = WM_APP;

}  // namespace

// Runs a message loop until it is destroyed; the announced windows are created and destroyed
// on it. Tasks come as thread messages, which only a modal loop could lose, and none runs
// here.
class Windows_WindowAnnouncer::WindowThread {
  public:
    WindowThread() {
        std::promise<DWORD> started;
        auto id = started.get_future();
        thread_ = std::thread([this, &started] { Loop(started); });
        threadId_ = id.get();
    }
    ~WindowThread() {
        // Windows the thread still owns go with it.
        ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
        thread_.join();
    }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    // Null when the window could not be made.
    HWND Create(const std::wstring& title) {
        HWND window = nullptr;
        Run([&title, &window] {
            // Top-level and never shown: FindWindowW sees hidden windows, the user does not.
            // (A message-only window would not be found.)
            window =
                ::CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", title.c_str(), WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        });
        return window;
    }

    void Destroy(HWND window) {
        Run([window] { ::DestroyWindow(window); });
    }

  private:
    // Runs `task` on the window thread and waits for it to end; skipped if it cannot be
    // posted.
    void Run(const std::function<void()>& task) {
        std::promise<void> done;
        auto ended = done.get_future();
        const std::function<void()> call = [&task, &done] {
            task();
            done.set_value();
        };
        if (::PostThreadMessageW(threadId_, kRunTask, 0, reinterpret_cast<LPARAM>(&call))) {
            ended.wait();
        }
    }

    void Loop(std::promise<DWORD>& started) {
        MSG message;
        // Makes the thread's message queue, so that tasks can be posted from now on.
        ::PeekMessageW(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
        started.set_value(::GetCurrentThreadId());
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (message.hwnd == nullptr && message.message == kRunTask) {
                (*reinterpret_cast<const std::function<void()>*>(message.lParam))();
                continue;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }

    std::thread thread_;
    DWORD threadId_ = 0;
};

// The window stays until the announcement ends, on whichever thread that is.
class Windows_WindowAnnouncer::Announcement : public ui::WindowAnnouncement {
  public:
    Announcement(std::shared_ptr<WindowThread> thread, HWND window)
        : thread_(std::move(thread)), window_(window) {}
    ~Announcement() override { thread_->Destroy(window_); }
    Announcement(const Announcement&) = delete;
    Announcement& operator=(const Announcement&) = delete;

  private:
    std::shared_ptr<WindowThread> thread_;
    HWND window_;
};

std::unique_ptr<ui::WindowAnnouncement> Windows_WindowAnnouncer::Announce(std::wstring_view title) {
    std::shared_ptr<WindowThread> thread;
    {
        std::lock_guard lock(mutex_);
        thread = thread_.lock();
        if (thread == nullptr) {
            try {
                thread = std::make_shared<WindowThread>();
            } catch (const std::system_error&) {
                return nullptr;  // no thread to be had: the run goes on unannounced
            }
            thread_ = thread;
        }
    }
    const HWND window = thread->Create(std::wstring(title));
    if (window == nullptr) {
        return nullptr;
    }
    return std::make_unique<Announcement>(std::move(thread), window);
}
