// Image files read through the platform's reader: what loads, what is refused, and the
// platform's error of a file that cannot be opened.
#include "COrnaFirmware.h"

#include "ArmillonException.h"
#include "ImageFileErrors.h"
#include "SampleImage.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class ImageFileTest : public testing::Test {
  protected:
    fs::path Write(const std::string& name, const std::vector<std::uint8_t>& bytes) {
        const fs::path path = dir_ / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    static ImageDiagnostic Refused(const wchar_t* path, ImageFileReader* reader = nullptr) {
        ImageDiagnostic diagnostic;
        try {
            COrnaFirmware image(path, nullptr, nullptr, &diagnostic, reader);
            ADD_FAILURE() << "the image loaded";
        } catch (const ArmillonException& e) {
            EXPECT_EQ(e.code, diagnostic.code);
        }
        return diagnostic;
    }

    fu_testing::TemporaryDirectory directory_{"fwimage-test-"};
    const fs::path& dir_ = directory_.Path();
};

TEST_F(ImageFileTest, LoadsTheWholeFile) {
    const auto bytes = firmware::SampleImage().Build();
    const fs::path path = Write("sample.img", bytes);
    COrnaFirmware image(path.wstring().c_str(), nullptr, nullptr);
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), image.Image().begin(), image.Image().end()));
    EXPECT_STREQ(image.GetVersionText(), "01.30");
}

TEST_F(ImageFileTest, MissingFilesAndDirectoriesCannotBeOpened) {
    const ImageDiagnostic missing = Refused((dir_ / "missing.img").wstring().c_str());
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.rule, ImageRule::FileCannotBeOpened);
    EXPECT_EQ(missing.systemError, kPlatformFileErrors.missing);

    const ImageDiagnostic directory = Refused(dir_.wstring().c_str());
    EXPECT_EQ(directory.code, 2);
    EXPECT_EQ(directory.systemError, kPlatformFileErrors.directory);
}

TEST_F(ImageFileTest, APathTheLocaleCannotEncodeNeverOpensAnotherFile) {
    // A narrow path in the C locale or a Western code page would turn the CJK character
    // into '?', which names this file.
    Write("?.img", firmware::SampleImage().Build());
    // Joined as text: a path object would convert it through the locale and throw.
    const std::wstring path = dir_.wstring() + L"/\u4e00.img";
    EXPECT_EQ(Refused(path.c_str()).code, 2);
}

TEST_F(ImageFileTest, AFileLongerThanAnyImageIsRefusedUnread) {
    // Sparse, so it costs no disk; reading it would cost 2 GiB of memory.
    const fs::path path = Write("huge.img", {});
    std::error_code error;
    fs::resize_file(path, 0x80000000ull, error);
    if (error) {
        GTEST_SKIP() << "cannot make a sparse file: " << error.message();
    }
    const ImageDiagnostic d = Refused(path.wstring().c_str());
    EXPECT_EQ(d.code, 13);
    EXPECT_EQ(d.rule, ImageRule::FileTooLarge);
}

TEST_F(ImageFileTest, WithoutAPathTheBuiltInImageIsTooShort) {
    for (const wchar_t* path : {static_cast<const wchar_t*>(nullptr), L""}) {
        const ImageDiagnostic d = Refused(path);
        EXPECT_EQ(d.code, 13);
        EXPECT_EQ(d.rule, ImageRule::TooShort);
        EXPECT_EQ(d.offset, 1u);
    }
}

// Answers every read with one outcome.
class FixedReader : public ImageFileReader {
  public:
    explicit FixedReader(Result result) : result_(result) {}
    Result ReadWholeFile(const std::wstring&, std::uint64_t,
                         std::vector<std::uint8_t>& buffer) override {
        buffer.assign(static_cast<std::size_t>(result_.bytesRead), 0);
        return result_;
    }

  private:
    Result result_;
};

TEST_F(ImageFileTest, ReadFailuresBecomeTheirCodes) {
    using Status = ImageFileReader::Status;
    struct Case {
        Status status;
        std::int32_t code;
        ImageRule rule;
        std::uint64_t offset;
    };
    const Case cases[] = {
        {Status::ShortRead, 30, ImageRule::FileReadShort, 1000},
        {Status::TooLarge, 13, ImageRule::FileTooLarge, 0x80000000},
        {Status::CannotOpen, 2, ImageRule::FileCannotBeOpened, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ImageRuleName(c.rule));
        ImageFileReader::Result result;
        result.status = c.status;
        result.length = c.status == Status::TooLarge ? 0x80000000 : 4096;
        result.bytesRead = c.status == Status::ShortRead ? 1000 : 0;
        FixedReader reader(result);
        const ImageDiagnostic d = Refused(L"image.img", &reader);
        EXPECT_EQ(d.code, c.code);
        EXPECT_EQ(d.rule, c.rule);
        EXPECT_EQ(d.offset, c.offset);
    }
}

}  // namespace
