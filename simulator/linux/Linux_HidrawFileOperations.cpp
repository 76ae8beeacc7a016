#include "Linux_HidrawFileOperations.h"

#include <fcntl.h>
#include <linux/fuse.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "Linux_HidrawIoctls.h"

namespace watchsim {

using Session = Linux_HidrawFileSystem::Session;

namespace {

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

}  // namespace

Handle* OpenHandle(fuse_req_t request, Session& session, const fuse_file_info* info) {
    const auto found = session.handles.find(info->fh);
    if (found == session.handles.end()) {
        fuse_reply_err(request, EBADF);
        return nullptr;
    }
    return &found->second;
}

Handle* LiveHandle(fuse_req_t request, Session& session, const fuse_file_info* info) {
    Handle* handle = OpenHandle(request, session, info);
    if (handle && !session.Alive(*handle)) {
        fuse_reply_err(request, ENODEV);
        return nullptr;
    }
    return handle;
}

const fuse_lowlevel_ops& HidrawFileOperations() {
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
    return operations;
}

const fuse_custom_io& HidrawStreamHooks() {
    static const fuse_custom_io streams = [] {
        fuse_custom_io io{};
        io.read = ReceiveRequest;
        io.writev = SendReply;
        return io;
    }();
    return streams;
}

}  // namespace watchsim
