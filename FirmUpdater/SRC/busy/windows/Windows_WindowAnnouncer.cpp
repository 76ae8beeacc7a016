#include "Windows_WindowAnnouncer.h"

#include <windows.h>

#include <functional>
#include <future>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <utility>

namespace {

// A task for the window thread; lParam is a Task, which the window thread runs and deletes.
constexpr UINT kRunTask = WM_APP;
using Task = std::packaged_task<void()>;

}  // namespace

// Runs a message loop until it is destroyed; the announced windows are created and destroyed
// on it. Tasks come as thread messages, which only a modal loop could lose, and none runs
// here.
class Windows_WindowAnnouncer::WindowThread {
  public:
    WindowThread() {
        // The promise belongs to the thread, which may still be inside set_value when get
        // returns here.
        std::promise<DWORD> started;
        auto id = started.get_future();
        thread_ = std::thread([this, started = std::move(started)]() mutable { Loop(started); });
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
    // Runs `work` on the window thread and waits for it to end; skipped if it cannot be
    // posted.
    void Run(std::function<void()> work) {
        auto task = std::make_unique<Task>(std::move(work));
        auto ended = task->get_future();
        if (::PostThreadMessageW(threadId_, kRunTask, 0, reinterpret_cast<LPARAM>(task.get()))) {
            task.release();  // the window thread's now
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
                const std::unique_ptr<Task> task(reinterpret_cast<Task*>(message.lParam));
                (*task)();
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
