#pragma once
// Where the Linux program looks for the watch's hidraw nodes: /dev, or the directory the
// environment names instead (a directory of simulated nodes, for instance).

#include <string>

struct Linux_HidrawDirectory {
    // The environment variable naming the directory to scan instead of /dev.
    static constexpr const char* kVariable = "FIRMUPDATER_HIDRAW_DIR";

    // The variable's value when set and not empty, else "/dev".
    static std::string OfProcess();
};
