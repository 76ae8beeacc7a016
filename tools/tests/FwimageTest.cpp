#include "FwimageCommand.h"

#include "ArmillonException.h"
#include "COrnaFirmware.h"
#include "ChildProcess.h"
#include "ImageReport.h"
#include "SampleImage.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace firmware;

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

class FwimageTest : public testing::Test {
  protected:
    fs::path WriteBytes(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    fs::path WriteText(const std::string& name, const std::string& text) {
        const fs::path path = dir_ / name;
        std::ofstream(path) << text;
        return path;
    }

    // Runs the real program, as support staff would.
    static Outcome Binary(const std::vector<std::string>& arguments) {
        const auto run = fu_testing::RunProcess(FWIMAGE_BINARY, arguments);
        EXPECT_TRUE(run.started) << "cannot start " << FWIMAGE_BINARY;
        EXPECT_FALSE(run.timedOut);
        return {run.exitCode, run.out, run.err};
    }

    static Outcome InProcess(const std::vector<std::string>& args) {
        std::ostringstream out;
        std::ostringstream err;
        const int status = fwimage::RunFwimage(args, out, err);
        return {status, out.str(), err.str()};
    }

    // What the loader itself says of the file.
    static std::pair<int, ImageDiagnostic> Loader(const fs::path& path) {
        ImageDiagnostic diagnostic;
        try {
            COrnaFirmware image(path.wstring().c_str(), nullptr, nullptr, &diagnostic);
            return {0, diagnostic};
        } catch (const ArmillonException& e) {
            return {e.code, diagnostic};
        }
    }

    fu_testing::TemporaryDirectory directory_{"fwimage-tool-"};
    const fs::path& dir_ = directory_.Path();
};

std::map<std::string, std::string> KeyValues(const std::string& text) {
    std::map<std::string, std::string> values;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        const auto colon = line.find(": ");
        if (colon != std::string::npos) {
            values[line.substr(0, colon)] = line.substr(colon + 2);
        }
    }
    return values;
}

TEST_F(FwimageTest, BuildsTheDemoImageAndInspectShowsWhatTheLoaderRead) {
    const fs::path image = dir_ / "demo.img";
    const Outcome build =
        Binary({"build", (fs::path(SAMPLES_DIR) / "demo.manifest").string(), image.string()});
    ASSERT_EQ(build.status, 0) << build.err;

    const Outcome inspect = Binary({"inspect", image.string()});
    ASSERT_EQ(inspect.status, 0) << inspect.err;
    EXPECT_EQ(inspect.err, "");

    COrnaFirmware loaded(image.wstring().c_str(), nullptr, nullptr);
    const auto values = KeyValues(inspect.out);
    EXPECT_EQ(values.at("size"), std::to_string(loaded.Image().size()));
    EXPECT_EQ(values.at("sections"), "4");
    EXPECT_EQ(values.at("vendor"), "0x3A7C");
    EXPECT_EQ(values.at("product"), "0x0A51");
    EXPECT_EQ(values.at("model"), "612E");
    EXPECT_EQ(values.at("model-code"), "0x45323136");
    EXPECT_EQ(values.at("flags"), "0x01");
    EXPECT_EQ(values.at("version"), "01.30");
    EXPECT_EQ(values.at("version-offset"), "0x7FFFA");
    EXPECT_EQ(values.at("section 0"),
              "type=0x80000000 (identity) value1=0x00000000 value2=0x0000000D data=13");
    EXPECT_EQ(values.at("section 1"),
              "type=0x00420000 (sector-erase) value1=0x00000001 value2=0x00000004 data=0");
    EXPECT_EQ(values.at("section 2"),
              "type=0x00410000 (flash-write) value1=0x00001000 value2=0x00004000 data=16384");
    EXPECT_EQ(values.at("section 3"),
              "type=0x00211600 (version-block-1600) value1=0x00000000 value2=0x00080000 "
              "data=524288");
    EXPECT_EQ(values.count("section 4"), 0u);
}

TEST_F(FwimageTest, InspectOfABrokenImageExitsWithTheLoadersCodeAndRule) {
    const auto sample = [] { return SampleImage(); };
    const std::vector<std::pair<std::string, std::vector<std::uint8_t>>> images = {
        {"total-size.img", sample().TotalSize(1000).Build()},
        {"overlong-write.img",
         [&] {
             auto b = sample();
             b.Sections()[2].value2 = 0x4001;
             return b.Build();
         }()},
        {"version.img",
         sample().VersionBlock(SECTION_VERSION_BLOCK_1601, "1\x7f", 0x80000).Build()},
    };
    std::vector<fs::path> paths;
    for (const auto& [name, bytes] : images) {
        paths.push_back(WriteBytes(name, bytes));
    }
    paths.push_back(dir_ / "missing.img");
    paths.push_back(dir_);

    for (const fs::path& path : paths) {
        SCOPED_TRACE(path.string());
        const auto [code, diagnostic] = Loader(path);
        ASSERT_NE(code, 0);
        const Outcome inspect = Binary({"inspect", path.string()});
        EXPECT_EQ(inspect.status, code);
        EXPECT_EQ(inspect.out, "");
        EXPECT_EQ(inspect.err, fwimage::DiagnosticLine(path.string(), diagnostic) + "\n");
        EXPECT_NE(inspect.err.find(ImageRuleName(diagnostic.rule)), std::string::npos);
    }
}

TEST_F(FwimageTest, InspectOfAFileThatReadsShortExits30) {
    // Sysfs files claim a page and deliver a few bytes.
    const fs::path path = "/sys/devices/system/cpu/online";
    if (!fs::is_regular_file(path)) {
        GTEST_SKIP() << "no sysfs";
    }
    const Outcome inspect = Binary({"inspect", path.string()});
    EXPECT_EQ(inspect.status, 30);
    EXPECT_NE(inspect.err.find("file-read-short"), std::string::npos) << inspect.err;
}

TEST_F(FwimageTest, BuildRefusesAnImageTheLoaderWouldRefuseUnlessAllowed) {
    const fs::path manifest =
        WriteText("zero-vendor.manifest", "identity vendor=0 product=0x0A51 model=612E flags=1\n");
    const fs::path out = dir_ / "zero-vendor.img";

    const Outcome refused = InProcess({"build", manifest.string(), out.string()});
    EXPECT_EQ(refused.status, 13);
    EXPECT_NE(refused.err.find("zero-vendor-id"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(out));

    const Outcome allowed =
        InProcess({"build", "--allow-invalid", manifest.string(), out.string()});
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_EQ(Loader(out).second.rule, ImageRule::ZeroVendorId);
    EXPECT_FALSE(fs::exists(dir_ / "zero-vendor.img.partial"));
}

TEST_F(FwimageTest, UsageAndManifestErrorsExit1) {
    const fs::path bad = WriteText("bad.manifest", "section type=1 colour=blue\n");
    const std::vector<std::vector<std::string>> runs = {
        {},
        {"inspect"},
        {"frobnicate", "x"},
        {"build", (dir_ / "missing.manifest").string(), (dir_ / "x.img").string()},
        {"build", bad.string(), (dir_ / "x.img").string()},
        {"build", (fs::path(SAMPLES_DIR) / "demo.manifest").string(),
         (dir_ / "no-such-dir" / "x.img").string()},
    };
    for (const auto& args : runs) {
        SCOPED_TRACE(testing::PrintToString(args));
        const Outcome run = InProcess(args);
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err, "");
    }
    EXPECT_NE(InProcess({"build", bad.string(), "x.img"}).err.find("line 1: unknown key 'colour'"),
              std::string::npos);
}

}  // namespace
