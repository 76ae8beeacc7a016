#pragma once
// Starts windows_platform_peer.exe (next to the test program) with a pipe on each of its
// standard input and output; closing the input tells it to end.

#include <windows.h>

#include <string>

class Windows_PeerProcess {
  public:
    Windows_PeerProcess(const std::wstring& mode, const std::wstring& text);
    // Ends the input and waits for the peer.
    ~Windows_PeerProcess();
    Windows_PeerProcess(const Windows_PeerProcess&) = delete;
    Windows_PeerProcess& operator=(const Windows_PeerProcess&) = delete;

    // The next line the peer printed, without its line end; empty at its end.
    std::string ReadLine();
    // Closes the peer's input and waits for it to exit; its exit code.
    DWORD Finish();

  private:
    PROCESS_INFORMATION process_{};
    HANDLE input_ = nullptr;   // our end of its standard input
    HANDLE output_ = nullptr;  // our end of its standard output
};
