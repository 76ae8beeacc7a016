#pragma once
// The owner of one worker thread. A derived class says what the thread runs and when it has
// ended; its destructor must wait for the thread (see CUpdateWorker).

#include <thread>

namespace ui {
class Dialog;
}

class CThreadManager {
  public:
    CThreadManager() = default;
    virtual ~CThreadManager();
    CThreadManager(const CThreadManager&) = delete;
    CThreadManager& operator=(const CThreadManager&) = delete;

    // Starts the thread unless it runs; false when it could not be started.
    virtual bool Start(ui::Dialog* window) = 0;
    virtual bool IsRunning() = 0;

  protected:
    // Not joinable while no thread has been started.
    std::thread thread;
};
