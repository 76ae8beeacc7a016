#include "FwimageCommand.h"

#include "ArmillonException.h"
#include "COrnaFirmware.h"
#include "ImageManifest.h"
#include "ImageReport.h"
#include "TextConversion.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

namespace fwimage {

namespace {

namespace fs = std::filesystem;

constexpr char kUsage[] =
    "usage: fwimage inspect FILE\n"
    "       fwimage build [--allow-invalid] MANIFEST OUT\n";

int Inspect(const std::string& file, std::ostream& out, std::ostream& err) {
    ImageDiagnostic diagnostic;
    try {
        COrnaFirmware image(common::NarrowToWide(file).c_str(), nullptr, nullptr, &diagnostic);
        out << InspectReport(image);
        return 0;
    } catch (const ArmillonException& e) {
        err << DiagnosticLine(file, diagnostic) << '\n';
        return e.code;
    }
}

// Writes next to the target and renames, so a failed write never leaves half an image
// under the target's name.
bool WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes, std::ostream& err) {
    fs::path temporary = path;
    temporary += ".partial";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (!file) {
            err << "fwimage: cannot write " << path.string() << ": " << std::strerror(errno)
                << '\n';
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return false;
        }
    }
    std::error_code error;
    fs::rename(temporary, path, error);
    if (error) {
        err << "fwimage: cannot write " << path.string() << ": " << error.message() << '\n';
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

int Build(const std::string& manifestPath, const std::string& outPath, bool allowInvalid,
          std::ostream& out, std::ostream& err) {
    std::ifstream in(manifestPath);
    if (!in) {
        err << "fwimage: cannot read " << manifestPath << ": " << std::strerror(errno) << '\n';
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();

    std::vector<std::uint8_t> bytes;
    try {
        bytes = BuildImageFromManifest(text.str(), fs::path(manifestPath).parent_path());
    } catch (const std::exception& e) {
        err << "fwimage: " << manifestPath << ": " << e.what() << '\n';
        return 1;
    }

    ImageDiagnostic diagnostic;
    try {
        COrnaFirmware check(bytes, nullptr, nullptr, &diagnostic);
    } catch (const ArmillonException& e) {
        if (!allowInvalid) {
            err << DiagnosticLine(manifestPath, diagnostic) << '\n'
                << "fwimage: the loader would refuse this image; --allow-invalid writes it "
                   "anyway\n";
            return e.code;
        }
    }
    if (!WriteFile(outPath, bytes, err)) {
        return 1;
    }
    out << "fwimage: wrote " << outPath << " (" << bytes.size() << " bytes)\n";
    return 0;
}

}  // namespace

int RunFwimage(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::vector<std::string> words;
    bool allowInvalid = false;
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            out << kUsage;
            return 0;
        }
        if (arg == "--allow-invalid") {
            allowInvalid = true;
        } else {
            words.push_back(arg);
        }
    }
    if (words.size() == 2 && words[0] == "inspect" && !allowInvalid) {
        return Inspect(words[1], out, err);
    }
    if (words.size() == 3 && words[0] == "build") {
        return Build(words[1], words[2], allowInvalid, out, err);
    }
    err << kUsage;
    return 1;
}

}  // namespace fwimage
