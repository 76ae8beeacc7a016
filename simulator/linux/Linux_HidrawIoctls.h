#pragma once
// The ioctls of a hidraw node, answered as the kernel answers them: the report descriptor and
// its size, the bus identifiers, the name, physical path and serial texts.

#include "Linux_HidrawSession.h"

namespace watchsim {

void IoctlNode(fuse_req_t request, fuse_ino_t inode, unsigned int command, void* argument,
               fuse_file_info* info, unsigned flags, const void* in, std::size_t inSize,
               std::size_t outSize);

}  // namespace watchsim
