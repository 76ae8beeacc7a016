#pragma once
// The `fwimage` command line, callable in-process:
//
//   fwimage inspect FILE
//   fwimage build [--allow-invalid] MANIFEST OUT
//
// Exit status: 0 on success; inspect, and build refusing an image, exit with the loader's
// code (2, 13 or 30); 1 for a usage, manifest or output error.

#include <iosfwd>
#include <string>
#include <vector>

namespace fwimage {

// args are the words after the program name.
int RunFwimage(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace fwimage
