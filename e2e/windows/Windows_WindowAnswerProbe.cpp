// Looks at another program's windows as a program that broadcasts with SendMessage sees them,
// for the Wine harness (e2e/wine_answers.py).
//
//   windows_answer_probe TITLE SECONDS [ROUNDS]
//
// Waits up to SECONDS for a top-level window titled TITLE (hidden ones too), then, ROUNDS
// times (default 1) 100 ms apart and for as long as such a window is there, sends WM_NULL with
// a bound of 2000 ms to every top-level window of that window's process, as a broadcast
// reaches them. Prints one summary line (windows, messages sent, answered, slowest answer
// in ms) and a line for each window that did not answer. Exit status 0 when every message
// was answered, 1 when one was not, 2 when no such window came.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr UINT kBoundMs = 2000;

std::vector<HWND> TopLevelWindowsOf(DWORD process) {
    struct Search {
        DWORD process;
        std::vector<HWND> found;
    } search{process, {}};
    EnumWindows(
        [](HWND window, LPARAM data) -> BOOL {
            auto& search = *reinterpret_cast<Search*>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == search.process) {
                search.found.push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Milliseconds to the answer, or a negative value without one.
double AnswerMs(HWND window) {
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    DWORD_PTR result = 0;
    const bool answered = SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                                              kBoundMs, &result) != 0;
    QueryPerformanceCounter(&end);
    return answered ? 1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) /
                          static_cast<double>(frequency.QuadPart)
                    : -1.0;
}

// The window's own text, which a program reads without sending it a message.
std::string Describe(HWND window) {
    wchar_t title[256] = {};
    wchar_t className[64] = {};
    InternalGetWindowText(window, title, 256);
    GetClassNameW(window, className, 64);
    char line[512];
    std::snprintf(line, sizeof line, "\"%ls\" (class %ls, %s)", title, className,
                  IsWindowVisible(window) ? "visible" : "hidden");
    return line;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: windows_answer_probe TITLE SECONDS [ROUNDS]\n");
        return 2;
    }
    const wchar_t* title = argv[1];
    const ULONGLONG deadline = GetTickCount64() + 1000ULL * static_cast<ULONGLONG>(_wtoi(argv[2]));
    const int rounds = argc > 3 ? _wtoi(argv[3]) : 1;

    HWND first = nullptr;
    while ((first = FindWindowW(nullptr, title)) == nullptr && GetTickCount64() < deadline) {
        Sleep(50);
    }
    if (first == nullptr) {
        std::printf("no window titled \"%ls\"\n", title);
        return 2;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(first, &process);

    std::vector<HWND> seen;
    int sent = 0;
    int answered = 0;
    double slowest = 0;
    for (int round = 0; round < rounds && FindWindowW(nullptr, title) != nullptr; ++round) {
        if (round > 0) {
            Sleep(100);
        }
        for (HWND window : TopLevelWindowsOf(process)) {
            if (std::find(seen.begin(), seen.end(), window) == seen.end()) {
                seen.push_back(window);
            }
            const double ms = AnswerMs(window);
            ++sent;
            if (ms >= 0) {
                ++answered;
                slowest = std::max(slowest, ms);
            } else if (IsWindow(window)) {
                std::printf("no answer within %u ms: %s\n", kBoundMs, Describe(window).c_str());
            } else {
                --sent;  // gone meanwhile: nobody waits for a window that no longer exists
            }
        }
    }
    std::printf("windows %zu sent %d answered %d slowest %.1f ms\n", seen.size(), sent, answered,
                slowest);
    return answered == sent ? 0 : 1;
}
