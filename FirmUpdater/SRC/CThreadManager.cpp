#include "CThreadManager.h"

CThreadManager::~CThreadManager() {
    // A derived class waits for its thread; this only keeps a forgotten one from ending the
    // process.
    if (thread.joinable()) {
        thread.join();
    }
}
