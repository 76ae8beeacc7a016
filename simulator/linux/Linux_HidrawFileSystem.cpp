#define FUSE_USE_VERSION 312

#include "Linux_HidrawFileSystem.h"

#include <fcntl.h>
#include <fuse_lowlevel.h>
#include <linux/fuse.h>
#include <linux/hidraw.h>
#include <linux/input.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>

#include "HidReportDescriptor.h"
#include "Linux_StaleMount.h"
#include "Linux_UniqueFd.h"

namespace watchsim {
namespace {

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

}  // namespace

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

namespace {

using Session = Linux_HidrawFileSystem::Session;

// The nodes must behave as character devices do: no file position, so that a read blocked in
// one thread does not hold up a write on the same descriptor in another (the kernel takes a
// position lock on regular files). The kernel drops that lock for files opened as streams,
// which this libfuse cannot ask for; the two hooks below add the stream flag to every reply
// to an open.
ssize_t ReceiveRequest(int fd, void* buffer, std::size_t length, void* data) {
    const ssize_t received = ::read(fd, buffer, length);
    if (received >= static_cast<ssize_t>(sizeof(fuse_in_header))) {
        fuse_in_header header;
        std::memcpy(&header, buffer, sizeof(header));
        if (header.opcode == FUSE_OPEN) {
            Session& session = *static_cast<Session*>(data);
            std::lock_guard lock(session.openRepliesMutex);
            session.openReplies.insert(header.unique);
        }
    }
    return received;
}

ssize_t SendReply(int fd, iovec* parts, int count, void* data) {
    if (count >= 2 && parts[0].iov_len >= sizeof(fuse_out_header) &&
        parts[1].iov_len >= sizeof(fuse_open_out)) {
        fuse_out_header header;
        std::memcpy(&header, parts[0].iov_base, sizeof(header));
        Session& session = *static_cast<Session*>(data);
        std::lock_guard lock(session.openRepliesMutex);
        if (header.error == 0 && session.openReplies.erase(header.unique) > 0) {
            fuse_open_out reply;
            std::memcpy(&reply, parts[1].iov_base, sizeof(reply));
            reply.open_flags |= FOPEN_STREAM;
            std::memcpy(parts[1].iov_base, &reply, sizeof(reply));
        }
    } else if (count >= 1 && parts[0].iov_len >= sizeof(fuse_out_header)) {
        fuse_out_header header;
        std::memcpy(&header, parts[0].iov_base, sizeof(header));
        Session& session = *static_cast<Session*>(data);
        std::lock_guard lock(session.openRepliesMutex);
        session.openReplies.erase(header.unique);  // a refused open
    }
    return ::writev(fd, parts, count);
}

void Lookup(fuse_req_t request, fuse_ino_t parent, const char* name) {
    Session& session = Session::Of(request);
    if (parent == FUSE_ROOT_ID) {
        for (std::size_t node = 0; node < session.watches.size(); ++node) {
            if (name == "hidraw" + std::to_string(node) && session.watches[node]->Present()) {
                fuse_entry_param entry{};
                entry.ino = kFirstNode + node;
                entry.attr = session.Attributes(entry.ino);
                // Nothing is cached: a node comes and goes with its watch.
                entry.attr_timeout = 0;
                entry.entry_timeout = 0;
                fuse_reply_entry(request, &entry);
                return;
            }
        }
    }
    fuse_reply_err(request, ENOENT);
}

void GetAttributes(fuse_req_t request, fuse_ino_t inode, fuse_file_info*) {
    Session& session = Session::Of(request);
    const auto node = session.Node(inode);
    if (inode != FUSE_ROOT_ID && (!node || !session.watches[*node]->Present())) {
        fuse_reply_err(request, ENOENT);
        return;
    }
    const struct stat attributes = session.Attributes(inode);
    fuse_reply_attr(request, &attributes, 0);
}

void ReadDirectory(fuse_req_t request, fuse_ino_t inode, std::size_t size, off_t offset,
                   fuse_file_info*) {
    Session& session = Session::Of(request);
    if (inode != FUSE_ROOT_ID) {
        fuse_reply_err(request, ENOTDIR);
        return;
    }
    std::vector<std::pair<std::string, fuse_ino_t>> entries{{".", FUSE_ROOT_ID},
                                                            {"..", FUSE_ROOT_ID}};
    for (std::size_t node = 0; node < session.watches.size(); ++node) {
        if (session.watches[node]->Present()) {
            entries.emplace_back("hidraw" + std::to_string(node), kFirstNode + node);
        }
    }
    std::vector<char> buffer(size);
    std::size_t used = 0;
    for (std::size_t i = static_cast<std::size_t>(std::max<off_t>(offset, 0)); i < entries.size();
         ++i) {
        const struct stat attributes = session.Attributes(entries[i].second);
        const std::size_t needed =
            fuse_add_direntry(request, buffer.data() + used, size - used, entries[i].first.c_str(),
                              &attributes, static_cast<off_t>(i + 1));
        if (needed > size - used) {
            break;
        }
        used += needed;
    }
    fuse_reply_buf(request, buffer.data(), used);
}

void OpenNode(fuse_req_t request, fuse_ino_t inode, fuse_file_info* info) {
    Session& session = Session::Of(request);
    const auto node = session.Node(inode);
    if (!node || !session.watches[*node]->Present()) {
        fuse_reply_err(request, ENOENT);
        return;
    }
    VirtualWatch& watch = *session.watches[*node];
    const std::uint64_t generation = watch.Generation();
    if (session.openGeneration[*node] != generation) {
        session.openGeneration[*node] = generation;  // handles of before are dead
        session.openCount[*node] = 0;
    }
    if ((info->flags & O_ACCMODE) == O_RDONLY) {
        session.FinishOpen(request, *info, *node, generation);
        return;
    }
    // The host opening the watch; a watch held by another program (or an open fault) opens
    // all the same, but the other program's exclusive lock is on the node first.
    const bool opened = watch.Open();
    if (!opened && !watch.Present()) {
        fuse_reply_err(request, ENOENT);
        return;
    }
    ++session.openCount[*node];
    const bool lock = !opened;
    session.WantLock(*node, lock);
    if (!session.LockPending(*node, lock)) {
        session.FinishOpen(request, *info, *node, generation);
        return;
    }
    session.opens.push_back(PendingOpen{request, *info, *node, generation, lock});
}

void ReleaseNode(fuse_req_t request, fuse_ino_t, fuse_file_info* info) {
    Session& session = Session::Of(request);
    const auto found = session.handles.find(info->fh);
    if (found != session.handles.end()) {
        const Handle handle = found->second;
        if (handle.pollHandle) {
            fuse_pollhandle_destroy(handle.pollHandle);
        }
        session.handles.erase(found);
        VirtualWatch& watch = *session.watches[handle.node];
        if (handle.writer && session.openGeneration[handle.node] == handle.generation &&
            handle.generation == watch.Generation() && session.openCount[handle.node] > 0 &&
            --session.openCount[handle.node] == 0) {
            watch.Close();
        }
    }
    fuse_reply_err(request, 0);
}

void InterruptRead(fuse_req_t request, void* data) {
    Session& session = *static_cast<Session*>(data);
    const auto found =
        std::find_if(session.reads.begin(), session.reads.end(),
                     [&](const PendingRead& read) { return read.request == request; });
    if (found != session.reads.end()) {
        session.reads.erase(found);
        fuse_reply_err(request, EINTR);
    }
}

// The open file a request is about; answers EBADF and gives null when there is none.
Handle* OpenHandle(fuse_req_t request, Session& session, const fuse_file_info* info) {
    const auto found = session.handles.find(info->fh);
    if (found == session.handles.end()) {
        fuse_reply_err(request, EBADF);
        return nullptr;
    }
    return &found->second;
}

// As OpenHandle, and answers ENODEV and gives null once the file's watch has left.
Handle* LiveHandle(fuse_req_t request, Session& session, const fuse_file_info* info) {
    Handle* handle = OpenHandle(request, session, info);
    if (handle && !session.Alive(*handle)) {
        fuse_reply_err(request, ENODEV);
        return nullptr;
    }
    return handle;
}

void ReadNode(fuse_req_t request, fuse_ino_t, std::size_t size, off_t, fuse_file_info* info) {
    Session& session = Session::Of(request);
    Handle* handle = OpenHandle(request, session, info);
    if (!handle) {
        return;
    }
    if (session.TryRead(request, *handle, size)) {
        return;
    }
    if (info->flags & O_NONBLOCK) {
        fuse_reply_err(request, EAGAIN);
        return;
    }
    session.reads.push_back(PendingRead{request, info->fh, size});
    fuse_req_interrupt_func(request, InterruptRead, &session);
}

void WriteNode(fuse_req_t request, fuse_ino_t, const char* data, std::size_t size, off_t,
               fuse_file_info* info) {
    Session& session = Session::Of(request);
    Handle* handle = LiveHandle(request, session, info);
    if (!handle) {
        return;
    }
    VirtualWatch& watch = *session.watches[handle->node];
    // The kernel takes no report shorter than a report number and one byte.
    if (size < 2 || size > watch.OutputReportLength()) {
        fuse_reply_err(request, EINVAL);
        return;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data);
    if (!watch.WriteReport(std::span(bytes, size))) {
        fuse_reply_err(request, session.Alive(*handle) ? EINVAL : ENODEV);
        return;
    }
    fuse_reply_write(request, size);
}

void PollNode(fuse_req_t request, fuse_ino_t, fuse_file_info* info, fuse_pollhandle* pollHandle) {
    Session& session = Session::Of(request);
    const auto found = session.handles.find(info->fh);
    if (found == session.handles.end()) {
        if (pollHandle) {
            fuse_pollhandle_destroy(pollHandle);
        }
        fuse_reply_err(request, EBADF);
        return;
    }
    Handle& handle = found->second;
    // As the kernel: always writable, readable while this file has a report, hung up once
    // the watch has left.
    unsigned events = POLLOUT | POLLWRNORM;
    if (session.Alive(handle)) {
        session.Deliver(handle.node);
    } else {
        events |= POLLHUP | POLLERR;
    }
    if (!handle.input.empty()) {
        events |= POLLIN | POLLRDNORM;
    }
    if (pollHandle) {
        if (handle.pollHandle) {
            fuse_pollhandle_destroy(handle.pollHandle);
        }
        handle.pollHandle = pollHandle;
    }
    fuse_reply_poll(request, events);
}

void IoctlNode(fuse_req_t request, fuse_ino_t, unsigned int command, void*, fuse_file_info* info,
               unsigned, const void*, std::size_t, std::size_t outSize) {
    Session& session = Session::Of(request);
    Handle* handle = LiveHandle(request, session, info);
    if (!handle) {
        return;
    }
    VirtualWatch& watch = *session.watches[handle->node];
    const auto descriptor =
        VendorReportDescriptor(watch.InputReportLength() - 1, watch.OutputReportLength() - 1);
    switch (command) {
        case HIDIOCGRDESCSIZE: {
            const int size = static_cast<int>(descriptor.size());
            fuse_reply_ioctl(request, 0, &size, sizeof(size));
            return;
        }
        case HIDIOCGRDESC: {
            hidraw_report_descriptor reply{};
            reply.size = static_cast<__u32>(descriptor.size());
            std::copy(descriptor.begin(), descriptor.end(), reply.value);
            fuse_reply_ioctl(request, 0, &reply, sizeof(reply));
            return;
        }
        case HIDIOCGRAWINFO: {
            hidraw_devinfo reply{};
            reply.bustype = BUS_USB;
            reply.vendor = static_cast<__s16>(watch.VendorId());
            reply.product = static_cast<__s16>(watch.ProductId());
            fuse_reply_ioctl(request, 0, &reply, sizeof(reply));
            return;
        }
        default:
            break;
    }
    const unsigned number = _IOC_NR(command);
    if (_IOC_TYPE(command) == 'H' && _IOC_DIR(command) == _IOC_READ &&
        (number == 0x04 || number == 0x05 || number == 0x08)) {
        // Name, physical path and serial text, as the kernel copies them: the text and its
        // zero byte, cut to the caller's length without a zero byte of its own, and that
        // length returned.
        const std::string text = number == 0x04 ? watch.Config().usbProductName
                                 : number == 0x05
                                     ? "usb-watchsim-" + std::to_string(handle->node) + "/input0"
                                     : std::string();
        const std::size_t length = std::min(outSize, text.size() + 1);
        fuse_reply_ioctl(request, static_cast<int>(length), text.c_str(), length);
        return;
    }
    fuse_reply_err(request, ENOTTY);
}

}  // namespace

Linux_HidrawFileSystem::Linux_HidrawFileSystem(const std::filesystem::path& directory,
                                               std::vector<VirtualWatch*> watches)
    : directory_(std::filesystem::absolute(directory)), watches_(std::move(watches)) {
    ClearStaleFuseMount(directory_);
    std::error_code error;
    std::filesystem::create_directories(directory_, error);

    session_ = std::make_unique<Session>();
    session_->watches = watches_;
    session_->openCount.assign(watches_.size(), 0);
    session_->openGeneration.assign(watches_.size(), 0);
    session_->lockWanted.assign(watches_.size(), false);
    session_->lockHeld.assign(watches_.size(), false);

    static const fuse_lowlevel_ops operations = [] {
        fuse_lowlevel_ops ops{};
        ops.lookup = Lookup;
        ops.getattr = GetAttributes;
        ops.readdir = ReadDirectory;
        ops.open = OpenNode;
        ops.release = ReleaseNode;
        ops.read = ReadNode;
        ops.write = WriteNode;
        ops.poll = PollNode;
        ops.ioctl = IoctlNode;
        return ops;
    }();
    char program[] = "watchsim";
    char* arguments[] = {program, nullptr};
    fuse_args args = FUSE_ARGS_INIT(1, arguments);
    session_->fuse = fuse_session_new(&args, &operations, sizeof(operations), session_.get());
    fuse_opt_free_args(&args);
    if (!session_->fuse) {
        throw std::runtime_error("cannot create the FUSE session");
    }
    if (fuse_session_mount(session_->fuse, directory_.c_str()) != 0) {
        fuse_session_destroy(session_->fuse);
        throw std::runtime_error("cannot mount " + directory_.string() + " (FUSE)");
    }
    static const fuse_custom_io streams = [] {
        fuse_custom_io io{};
        io.read = ReceiveRequest;
        io.writev = SendReply;
        return io;
    }();
    // The session keeps using the descriptor the mount opened, through the hooks.
    if (fuse_session_custom_io(session_->fuse, &streams, fuse_session_fd(session_->fuse)) != 0) {
        fuse_session_unmount(session_->fuse);
        fuse_session_destroy(session_->fuse);
        throw std::runtime_error("cannot hook the FUSE session");
    }
    wakeFd_.Reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wakeFd_.IsValid()) {
        fuse_session_unmount(session_->fuse);
        fuse_session_destroy(session_->fuse);
        throw std::runtime_error("cannot create an eventfd");
    }
    const int wake = wakeFd_.Get();
    session_->wake = [wake] {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = ::write(wake, &one, sizeof(one));
    };
    for (VirtualWatch* watch : watches_) {
        watch->SetListener(session_->wake);
    }
    loop_ = std::thread([this] { Loop(); });
    locker_ = std::thread([this] { LockLoop(); });
}

Linux_HidrawFileSystem::~Linux_HidrawFileSystem() {
    Stop();
}

std::filesystem::path Linux_HidrawFileSystem::NodePath(std::size_t index) const {
    return directory_ / ("hidraw" + std::to_string(index));
}

void Linux_HidrawFileSystem::Stop() {
    if (stopping_.exchange(true)) {
        return;
    }
    for (VirtualWatch* watch : watches_) {
        watch->SetListener({});
    }
    // The locking thread may be opening a node: it finishes while the loop still serves.
    {
        std::lock_guard guard(session_->lockMutex);
        session_->lockStop = true;
    }
    session_->lockChanged.notify_all();
    if (locker_.joinable()) {
        locker_.join();
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wakeFd_.Get(), &one, sizeof(one));
    if (loop_.joinable()) {
        loop_.join();
    }
    session_->Shutdown();
    fuse_session_unmount(session_->fuse);
    fuse_session_destroy(session_->fuse);
    wakeFd_.Reset();  // the last to go: both threads have ended
}

void Linux_HidrawFileSystem::LockLoop() {
    Session& session = *session_;
    std::vector<common::Linux_UniqueFd> held(watches_.size());
    std::unique_lock guard(session.lockMutex);
    for (;;) {
        session.lockChanged.wait(
            guard, [&] { return session.lockStop || session.lockWanted != session.lockHeld; });
        if (session.lockStop) {
            break;
        }
        for (std::size_t node = 0; node < watches_.size(); ++node) {
            const bool want = session.lockWanted[node];
            if (want == session.lockHeld[node]) {
                continue;
            }
            guard.unlock();
            if (want) {
                // As another program would: open the node and lock it. Should the node be
                // gone or already locked, there is nothing more to do.
                held[node].Reset(::open(NodePath(node).c_str(), O_RDONLY | O_CLOEXEC));
                if (held[node].IsValid()) {
                    ::flock(held[node].Get(), LOCK_EX | LOCK_NB);
                }
            } else {
                held[node].Reset();
            }
            guard.lock();
            session.lockHeld[node] = want;
        }
        session.wake();
    }
    guard.unlock();
    held.clear();
}

void Linux_HidrawFileSystem::Loop() {
    fuse_buf buffer{};
    pollfd descriptors[2] = {{fuse_session_fd(session_->fuse), POLLIN, 0},
                             {wakeFd_.Get(), POLLIN, 0}};
    while (!stopping_ && !fuse_session_exited(session_->fuse)) {
        // A short time-out lets a reboot on the steady clock end without anyone asking.
        const int ready = ::poll(descriptors, 2, 10);
        if (ready < 0 && errno != EINTR) {
            break;
        }
        if (descriptors[1].revents & POLLIN) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto read = ::read(wakeFd_.Get(), &count, sizeof(count));
        }
        for (VirtualWatch* watch : watches_) {
            watch->Tick();
        }
        session_->ProcessEvents();
        if (ready > 0 && (descriptors[0].revents & (POLLIN | POLLERR | POLLHUP))) {
            const int received = fuse_session_receive_buf(session_->fuse, &buffer);
            if (received == -EINTR || received == -EAGAIN) {
                continue;
            }
            if (received <= 0) {
                break;  // unmounted from outside
            }
            fuse_session_process_buf(session_->fuse, &buffer);
            session_->ProcessEvents();
        }
    }
    std::free(buffer.mem);
}

}  // namespace watchsim
