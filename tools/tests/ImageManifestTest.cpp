#include "ImageManifest.h"

#include "ByteOrder.h"
#include "SampleImage.h"
#include "TemporaryDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using firmware::ImageBuildError;

std::string ReadText(const fs::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(ImageManifestTest, DemoManifestDescribesTheSampleImage) {
    const auto bytes =
        fwimage::BuildImageFromManifest(ReadText(fs::path(SAMPLES_DIR) / "demo.manifest"));
    EXPECT_EQ(bytes, firmware::SampleImage().Build());
}

// Reads one section header and its data from a built image.
struct Section {
    std::uint32_t size, type, value1, value2;
    std::vector<std::uint8_t> data;
};

Section ReadSection(common::ByteReader& reader, std::size_t dataLength) {
    Section s{*reader.U32(), *reader.U32(), *reader.U32(), *reader.U32(), {}};
    const auto data = reader.Bytes(dataLength);
    EXPECT_TRUE(data.has_value());
    if (data) {
        s.data.assign(data->begin(), data->end());
    }
    return s;
}

TEST(ImageManifestTest, WritesEveryFieldAndDataSourceAsGiven) {
    const fu_testing::TemporaryDirectory directory("manifest-test-");
    const fs::path& dir = directory.Path();
    std::ofstream(dir / "blob.bin", std::ios::binary) << "xyz";

    const char* manifest = R"(
        image section-count=0xFFFFFFFF total-size=5   # header fields that lie
        identity vendor=1 product=2 model=hex:41424344 flags=7 extra=hex:EEFF value1=0x10
        section type=0x123 value1=3 value2=4 size=5 data=hex:0102
        section type=data-1604 data=fill:0xAA:3
        section type=data-1611 data=counter:258
        section type=data-1620 data=file:blob.bin
        section type=version-block-1601 data=fill:0x20:0x40000 version=A\x01\\B
        trailing data=hex:99
    )";
    const auto bytes = fwimage::BuildImageFromManifest(manifest, dir);

    common::ByteReader reader(bytes);
    EXPECT_EQ(*reader.U32(), 5u);
    EXPECT_EQ(*reader.U32(), 0xFFFFFFFFu);

    const Section identity = ReadSection(reader, 15);
    EXPECT_EQ(identity.size, 31u);
    EXPECT_EQ(identity.type, 0x80000000u);
    EXPECT_EQ(identity.value1, 0x10u);
    EXPECT_EQ(identity.value2, 15u);
    EXPECT_EQ(identity.data, (std::vector<std::uint8_t>{0, 0, 0, 0, 'A', 'B', 'C', 'D', 2, 0, 1, 0,
                                                        7, 0xEE, 0xFF}));

    const Section raw = ReadSection(reader, 2);
    EXPECT_EQ(raw.size, 5u);
    EXPECT_EQ(raw.type, 0x123u);
    EXPECT_EQ(raw.value1, 3u);
    EXPECT_EQ(raw.value2, 4u);
    EXPECT_EQ(raw.data, (std::vector<std::uint8_t>{1, 2}));

    const Section fill = ReadSection(reader, 3);
    EXPECT_EQ(fill.type, 0x211604u);
    EXPECT_EQ(fill.value2, 3u);
    EXPECT_EQ(fill.data, (std::vector<std::uint8_t>{0xAA, 0xAA, 0xAA}));

    const Section counter = ReadSection(reader, 258);
    EXPECT_EQ(counter.data[255], 255);
    EXPECT_EQ(counter.data[257], 1);

    const Section file = ReadSection(reader, 3);
    EXPECT_EQ(file.data, (std::vector<std::uint8_t>{'x', 'y', 'z'}));

    // Model ABCD is outside the 512 KiB table: the text goes to 0x3FFFA.
    const Section block = ReadSection(reader, 0x40000);
    EXPECT_EQ(std::string(block.data.begin() + 0x3FFFA, block.data.begin() + 0x3FFFE), "A\x01\\B");
    EXPECT_EQ(block.data[0x3FFF9], 0x20);

    EXPECT_EQ(*reader.U8(), 0x99);
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(ImageManifestTest, MistakesNameTheirLine) {
    struct Case {
        const char* manifest;
        std::size_t line;
        const char* message;
    };
    const Case cases[] = {
        {"identity vendor=1 product=1 model=612E", 1, "'flags' is missing"},
        {"# comment\n\nsection type=flash-write valu1=3", 3, "unknown key 'valu1'"},
        {"section type=1 type=2", 1, "given twice"},
        {"section type=1 value1", 1, "expected key=value"},
        {"identity vendor=0x10000 product=1 model=612E flags=0", 1, "above 65535"},
        {"identity vendor=1 product=1 model=61E flags=0", 1, "four bytes"},
        {"section type=banana", 1, "not a number"},
        {"section type=1 value2=-1", 1, "not a number"},
        {"section type=1 data=fill:0xFF", 1, "fill:BYTE:LENGTH"},
        {"section type=1 data=hex:ABC", 1, "even number"},
        {"section type=1 data=hex:GG", 1, "not a hex byte"},
        {"section type=1 data=noise:1", 1, "unknown data source"},
        {"section type=1 data=file:no-such-file.bin", 1, "cannot read data file"},
        {"section type=1 version=01\\q", 1, "bad escape"},
        {"image total-size=1\nimage section-count=1", 2, "only one"},
        {"frobnicate type=1", 1, "unknown line"},
        {"# nothing but comments", 0, "no section"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.manifest);
        try {
            fwimage::ParseManifest(c.manifest);
            ADD_FAILURE() << "accepted";
        } catch (const fwimage::ManifestError& e) {
            EXPECT_EQ(e.line, c.line);
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(ImageManifestTest, AVersionTextThatDoesNotFitIsAnError) {
    EXPECT_THROW(fwimage::BuildImageFromManifest(
                     "identity vendor=1 product=1 model=612E flags=0\n"
                     "section type=version-block-1600 data=fill:0:0x7FFFE version=01.30"),
                 ImageBuildError);
}

}  // namespace
