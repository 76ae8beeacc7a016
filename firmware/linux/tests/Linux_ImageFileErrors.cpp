#include <cerrno>

#include "ImageFileErrors.h"

const ImageFileErrors kPlatformFileErrors{ENOENT, EISDIR};
