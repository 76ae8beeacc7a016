#pragma once
// The file operations of the hidraw nodes (lookup, attributes, directory, open, release,
// read, write, poll, ioctl) for the FUSE session, and the stream hooks that make the nodes
// behave as character devices.

#include "Linux_HidrawSession.h"

namespace watchsim {

// The operations, ioctl included, as libfuse takes them.
const fuse_lowlevel_ops& HidrawFileOperations();
// The hooks on the session's descriptor that mark every opened node as a stream.
const fuse_custom_io& HidrawStreamHooks();

// The open file a request is about; answers EBADF and gives null when there is none.
Handle* OpenHandle(fuse_req_t request, Linux_HidrawFileSystem::Session& session,
                   const fuse_file_info* info);
// As OpenHandle, and answers ENODEV and gives null once the file's watch has left.
Handle* LiveHandle(fuse_req_t request, Linux_HidrawFileSystem::Session& session,
                   const fuse_file_info* info);

}  // namespace watchsim
