#include "Linux_HidrawDirectory.h"

#include <cstdlib>

std::string Linux_HidrawDirectory::OfProcess() {
    const char* value = std::getenv(kVariable);
    return value != nullptr && *value != '\0' ? std::string(value) : std::string("/dev");
}
