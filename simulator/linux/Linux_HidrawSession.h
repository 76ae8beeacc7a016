#pragma once
// The FUSE session of the hidraw nodes and their open files, as the loop thread sees them:
// which node an inode is, the open files and their queued input reports, the opens waiting
// for the server's lock, the reads waiting for a report. Used by the file operations and the
// ioctls of the nodes, on the loop thread only.

#ifndef FUSE_USE_VERSION
#define FUSE_USE_VERSION 312
#endif

#include <fuse_lowlevel.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "Linux_HidrawFileSystem.h"

namespace watchsim {

constexpr fuse_ino_t kFirstNode = FUSE_ROOT_ID + 1;

// Reports one open file holds at most; beyond that new ones are dropped for it, as the
// kernel drops them for a reader that does not keep up. Far above any reply of the watch.
constexpr std::size_t kMaxQueuedReports = 1u << 16;

struct Handle {
    std::size_t node = 0;
    std::uint64_t generation = 0;
    // Opened for writing: only such an open is the host opening the watch. Read-only opens
    // (discovery asking for identifiers) leave the watch and its fault counters alone.
    bool writer = false;
    // Every open file gets its own copy of each input report from its open on.
    std::deque<std::vector<std::uint8_t>> input;
    fuse_pollhandle* pollHandle = nullptr;
};

// An open that waits for the server's lock on the node to be taken or let go.
struct PendingOpen {
    fuse_req_t request;
    fuse_file_info info;
    std::size_t node;
    std::uint64_t generation;
    bool lock;
};

struct PendingRead {
    fuse_req_t request;
    std::uint64_t handle;
    std::size_t size;
};

struct Linux_HidrawFileSystem::Session {
    std::vector<VirtualWatch*> watches;
    fuse_session* fuse = nullptr;
    std::map<std::uint64_t, Handle> handles;
    std::uint64_t nextHandle = 1;
    std::vector<std::size_t> openCount;  // writers of the current generation
    std::vector<std::uint64_t> openGeneration;
    std::list<PendingRead> reads;
    std::list<PendingOpen> opens;
    std::mutex openRepliesMutex;
    std::set<std::uint64_t> openReplies;  // requests to open a node not answered yet

    // A held watch is held the Linux way: hidraw never refuses an open, the other program
    // holds an exclusive flock on the node. The server plays that program on a thread of its
    // own (opening its own node from the loop thread would wait for itself).
    std::mutex lockMutex;
    std::condition_variable lockChanged;
    std::vector<bool> lockWanted;  // by the loop thread
    std::vector<bool> lockHeld;    // as the locking thread last left it
    bool lockStop = false;
    std::function<void()> wake;

    static Session& Of(fuse_req_t request) {
        return *static_cast<Session*>(fuse_req_userdata(request));
    }

    std::optional<std::size_t> Node(fuse_ino_t inode) const {
        if (inode < kFirstNode || inode - kFirstNode >= watches.size()) {
            return std::nullopt;
        }
        return inode - kFirstNode;
    }

    // The device behind the handle is still the one it was opened on.
    bool Alive(const Handle& handle) const {
        VirtualWatch& watch = *watches[handle.node];
        return handle.generation == watch.Generation() && watch.Present();
    }

    // Moves the reports the watch has sent into the queue of every open file of its node.
    void Deliver(std::size_t node) {
        VirtualWatch& watch = *watches[node];
        std::vector<std::uint8_t> report;
        for (;;) {
            const std::uint64_t generation = watch.Generation();
            if (watch.QueuedReports() == 0 || watch.ReadReport(report) != ReadOutcome::Report) {
                return;
            }
            // The kernel hands out reports without the report number on a device that has
            // no report IDs.
            for (auto& [id, handle] : handles) {
                if (handle.node == node && handle.generation == generation &&
                    handle.input.size() < kMaxQueuedReports) {
                    handle.input.emplace_back(report.begin() + 1, report.end());
                }
            }
        }
    }

    // An open waits while the lock it asked for is still wanted and not yet there.
    bool LockPending(std::size_t node, bool lock) {
        std::lock_guard guard(lockMutex);
        return lockWanted[node] == lock && lockHeld[node] != lock;
    }

    void WantLock(std::size_t node, bool lock) {
        {
            std::lock_guard guard(lockMutex);
            lockWanted[node] = lock;
        }
        lockChanged.notify_all();
    }

    struct stat Attributes(fuse_ino_t inode) const {
        struct stat attributes {};
        attributes.st_ino = inode;
        attributes.st_uid = ::getuid();
        attributes.st_gid = ::getgid();
        if (inode == FUSE_ROOT_ID) {
            attributes.st_mode = S_IFDIR | 0755;
            attributes.st_nlink = 2;
        } else {
            attributes.st_mode = S_IFREG | 0666;
            attributes.st_nlink = 1;
        }
        return attributes;
    }

    // Answers a waiting read if it can; true when the read is done with. Reports queued
    // before the watch left can still be read; after them the kernel says EIO.
    bool TryRead(fuse_req_t request, Handle& handle, std::size_t size) {
        if (Alive(handle)) {
            Deliver(handle.node);
        }
        if (!handle.input.empty()) {
            const auto& report = handle.input.front();
            fuse_reply_buf(request, reinterpret_cast<const char*>(report.data()),
                           std::min(size, report.size()));
            handle.input.pop_front();
            return true;
        }
        if (!Alive(handle)) {
            fuse_reply_err(request, EIO);
            return true;
        }
        return false;
    }

    // Creates the handle of an open that may go ahead and answers it.
    void FinishOpen(fuse_req_t request, fuse_file_info& info, std::size_t node,
                    std::uint64_t generation) {
        const std::uint64_t id = nextHandle++;
        Handle& handle = handles[id];
        handle.node = node;
        handle.generation = generation;
        handle.writer = (info.flags & O_ACCMODE) != O_RDONLY;
        info.fh = id;
        info.direct_io = 1;
        info.nonseekable = 1;
        fuse_reply_open(request, &info);
    }

    void ProcessEvents() {
        for (std::size_t node = 0; node < watches.size(); ++node) {
            if (watches[node]->IsOpen()) {
                Deliver(node);
            }
        }
        for (auto open = opens.begin(); open != opens.end();) {
            if (LockPending(open->node, open->lock)) {
                ++open;
                continue;
            }
            if (open->generation != watches[open->node]->Generation()) {
                fuse_reply_err(open->request, ENOENT);
            } else {
                FinishOpen(open->request, open->info, open->node, open->generation);
            }
            open = opens.erase(open);
        }
        for (auto read = reads.begin(); read != reads.end();) {
            const auto found = handles.find(read->handle);
            const bool done = found == handles.end()
                                  ? (fuse_reply_err(read->request, EBADF), true)
                                  : TryRead(read->request, found->second, read->size);
            read = done ? reads.erase(read) : std::next(read);
        }
        for (auto& [id, handle] : handles) {
            if (handle.pollHandle && (!Alive(handle) || !handle.input.empty())) {
                fuse_lowlevel_notify_poll(handle.pollHandle);
                fuse_pollhandle_destroy(handle.pollHandle);
                handle.pollHandle = nullptr;
            }
        }
    }

    void Shutdown() {
        for (const auto& read : reads) {
            fuse_reply_err(read.request, ENODEV);
        }
        reads.clear();
        for (const auto& open : opens) {
            fuse_reply_err(open.request, ENODEV);
        }
        opens.clear();
        for (auto& [id, handle] : handles) {
            if (handle.pollHandle) {
                fuse_pollhandle_destroy(handle.pollHandle);
                handle.pollHandle = nullptr;
            }
        }
        for (std::size_t node = 0; node < watches.size(); ++node) {
            if (openCount[node] > 0 && openGeneration[node] == watches[node]->Generation()) {
                watches[node]->Close();
            }
            openCount[node] = 0;
        }
    }
};

}  // namespace watchsim
