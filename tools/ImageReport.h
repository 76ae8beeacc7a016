#pragma once
// What `fwimage inspect` prints: the loader's view of an image, or why it refused it.

#include "COrnaFirmware.h"
#include "ImageDiagnostic.h"

#include <string>

namespace fwimage {

// "key: value" lines, then one line per section.
std::string InspectReport(COrnaFirmware& image);

// One line naming the broken rule and where it broke, without a trailing newline.
std::string DiagnosticLine(const std::string& file, const ImageDiagnostic& diagnostic);

}  // namespace fwimage
