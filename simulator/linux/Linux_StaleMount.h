#pragma once
// A FUSE mount whose server died (killed, crashed) stays in the mount table, and every access
// to it fails with ENOTCONN. Mounting over it again must first take it away.

#include <filesystem>

namespace watchsim {

// Lazily unmounts the directory when it is a FUSE mount without a server. True when it did.
bool ClearStaleFuseMount(const std::filesystem::path& directory);

}  // namespace watchsim
