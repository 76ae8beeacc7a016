#include <windows.h>

#include "ImageFileErrors.h"

// A directory cannot be opened as a file: access is denied.
const ImageFileErrors kPlatformFileErrors{ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED};
