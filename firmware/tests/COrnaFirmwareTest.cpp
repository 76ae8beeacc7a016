#include "COrnaFirmware.h"

#include "ArmillonException.h"
#include "ByteOrder.h"
#include "SampleImage.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <functional>
#include <string>

namespace {

using namespace firmware;

// Loads bytes that must be refused; the code thrown and the diagnostic must agree.
ImageDiagnostic Refused(std::vector<std::uint8_t> bytes, const wchar_t* version = nullptr) {
    ImageDiagnostic diagnostic;
    try {
        COrnaFirmware image(std::move(bytes), version, nullptr, &diagnostic);
        ADD_FAILURE() << "the image loaded";
    } catch (const ArmillonException& e) {
        EXPECT_EQ(e.code, diagnostic.code);
    }
    return diagnostic;
}

// A hand-written image: the byte positions every other test relies on the builder for.
const std::vector<std::uint8_t> kMinimalImage = {
    0x25, 0x00, 0x00, 0x00,  // total size 37
    0x01, 0x00, 0x00, 0x00,  // one section
    0x1D, 0x00, 0x00, 0x00,  // section size 29
    0x00, 0x00, 0x00, 0x80,  // identity
    0x00, 0x00, 0x00, 0x00,  // value 1
    0x0D, 0x00, 0x00, 0x00,  // value 2: 13 data bytes
    0x00, 0x00, 0x00, 0x00,  // not read
    0x36, 0x31, 0x32, 0x45,  // model "612E"
    0x51, 0x0A,              // product
    0x7C, 0x3A,              // vendor
    0x02,                    // flags
};

TEST(COrnaFirmwareTest, ReadsTheIdentityFromItsFixedPlaces) {
    EXPECT_EQ(ImageBuilder().Identity(0x3A7C, 0x0A51, "612E", 0x02).Build(), kMinimalImage);

    COrnaFirmware image(kMinimalImage, nullptr, nullptr);
    EXPECT_EQ(image.VendorId(), 0x3A7C);
    EXPECT_EQ(image.ProductId(), 0x0A51);
    EXPECT_EQ(image.ModelCode(), 0x45323136u);
    EXPECT_EQ(image.ModelBytes(), (std::array<std::uint8_t, 4>{'6', '1', '2', 'E'}));
    EXPECT_EQ(image.Flags(), 0x02);
    EXPECT_EQ(image.identityType, SECTION_DEVICE_IDENTITY);
    EXPECT_EQ(image.identityValue2, 13u);
    EXPECT_EQ(image.identityData, image.Image().data() + 24);
    ASSERT_EQ(image.commands.size(), 1u);
    EXPECT_EQ(image.commands[0].data, image.identityData);
    EXPECT_EQ(image.TotalSize(), 37);
    EXPECT_EQ(image.SectionCount(), 1);
}

TEST(COrnaFirmwareTest, SplitsTheSampleIntoCommandsThatPointIntoTheImage) {
    const std::vector<std::uint8_t> bytes = SampleImage().Build();
    COrnaFirmware image(bytes, nullptr, nullptr);

    ASSERT_EQ(image.commands.size(), 4u);
    EXPECT_EQ(image.SectionCount(), 4);
    EXPECT_EQ(image.TotalSize(), static_cast<std::int32_t>(bytes.size()));
    ASSERT_EQ(image.Image().size(), bytes.size());

    const auto& identity = image.commands[0];
    const auto& erase = image.commands[1];
    const auto& write = image.commands[2];
    const auto& block = image.commands[3];
    EXPECT_EQ(identity.type, SECTION_DEVICE_IDENTITY);
    EXPECT_EQ(erase.type, SECTION_SECTOR_ERASE);
    EXPECT_EQ(erase.value1, 1u);
    EXPECT_EQ(erase.value2, 4u);
    EXPECT_EQ(write.type, SECTION_FLASH_WRITE);
    EXPECT_EQ(write.value1, 0x1000u);
    EXPECT_EQ(write.value2, 0x4000u);
    EXPECT_EQ(block.type, SECTION_VERSION_BLOCK_1600);
    EXPECT_EQ(block.value2, 0x80000u);

    // The data pointers are the bytes after each header, inside the loader's one buffer.
    const std::uint8_t* base = image.Image().data();
    EXPECT_EQ(identity.data, base + 8 + 16);
    EXPECT_EQ(erase.data, identity.data + 13 + 16);
    EXPECT_EQ(write.data, erase.data + 16);
    EXPECT_EQ(block.data, write.data + 0x4000 + 16);
    EXPECT_EQ(write.data[0x1234], 0x34);

    EXPECT_STREQ(image.GetVersionText(), "01.30");
    EXPECT_STREQ(image.GetModelText(), "    ");
    EXPECT_EQ(image.VersionOffset(), 0x7FFFAu);
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    image.GetVersionData(length, data);
    EXPECT_EQ(length, 0x80000u);
    EXPECT_EQ(data, block.data);
    EXPECT_EQ(image.Reserved2(), 0);

    const auto version = image.CreateVersion();
    const OrnaFirmwareVersion expected("01.30");
    EXPECT_TRUE(version->IsEqual(&expected));
}

// A small image without a version section. Layout: identity at 8 (29 bytes), sector erase
// at 37, flash write of 16 bytes at 53, a skipped section at 85; 101 bytes in all.
ImageBuilder Small() {
    ImageBuilder image;
    image.Identity(0x3A7C, 0x0A51, "612E", 0x01)
        .SectorErase(1, 4)
        .DataSection(SECTION_FLASH_WRITE, 0x1000, std::vector<std::uint8_t>(16, 0xAB))
        .Command(SECTION_201603);
    return image;
}

struct RuleCase {
    const char* name;
    std::function<std::vector<std::uint8_t>()> image;
    ImageRule rule;
    std::uint64_t offset;
    std::int64_t section;
};

std::vector<std::uint8_t> SmallWith(const std::function<void(ImageBuilder&)>& change) {
    ImageBuilder image = Small();
    change(image);
    return image.Build();
}

const RuleCase kBrokenImages[] = {
    {"23 bytes",
     [] {
         auto b = Small().Build();
         b.resize(23);
         return b;
     },
     ImageRule::TooShort, 23, -1},
    {"total size one more", [] { return SmallWith([](ImageBuilder& i) { i.TotalSize(102); }); },
     ImageRule::TotalSizeNotFileLength, 0, -1},
    {"total size one less", [] { return SmallWith([](ImageBuilder& i) { i.TotalSize(100); }); },
     ImageRule::TotalSizeNotFileLength, 0, -1},
    {"first section longer than the file",
     [] { return SmallWith([](ImageBuilder& i) { i.Sections()[0].size = 94; }); },
     ImageRule::FirstSectionBeyondEnd, 8, 0},
    {"identity only after a data block",
     [] {
         return ImageBuilder()
             .DataSection(SECTION_VERSION_BLOCK_1600, 0, {1, 2, 3})
             .Identity(0x3A7C, 0x0A51, "612E", 0)
             .Build();
     },
     ImageRule::FirstSectionNotIdentity, 12, 0},
    {"one section more counted than present",
     [] { return SmallWith([](ImageBuilder& i) { i.SectionCount(5); }); },
     ImageRule::SectionHeaderBeyondEnd, 101, 4},
    {"bytes after the last section",
     [] { return SmallWith([](ImageBuilder& i) { i.Trailing({0}); }); },
     ImageRule::SectionsNotEndingAtEnd, 101, -1},
    {"no sections counted", [] { return SmallWith([](ImageBuilder& i) { i.SectionCount(0); }); },
     ImageRule::SectionsNotEndingAtEnd, 8, -1},
    {"negative section count",
     [] { return SmallWith([](ImageBuilder& i) { i.SectionCount(-1); }); },
     ImageRule::SectionsNotEndingAtEnd, 8, -1},
    {"section shorter than its header",
     [] { return SmallWith([](ImageBuilder& i) { i.Sections()[1].size = 15; }); },
     ImageRule::SectionShorterThanHeader, 37, 1},
    {"last section size carrying the offset past 4 GiB",
     [] { return SmallWith([](ImageBuilder& i) { i.Sections()[3].size = 0xFFFFFFF0; }); },
     ImageRule::SectionsNotEndingAtEnd, 85ull + 0xFFFFFFF0ull, -1},
    {"identity data longer than its section",
     [] { return SmallWith([](ImageBuilder& i) { i.Sections()[0].value2 = 14; }); },
     ImageRule::IdentityDataBeyondSection, 20, 0},
    {"identity data length that wraps 32 bits",
     [] { return SmallWith([](ImageBuilder& i) { i.Sections()[0].value2 = 0xFFFFFFF0; }); },
     ImageRule::IdentityDataBeyondSection, 20, 0},
    {"identity data without the flag byte",
     [] { return SmallWith([](ImageBuilder& i) { i.Sections()[0].value2 = 12; }); },
     ImageRule::IdentityDataTooShort, 20, 0},
    {"flash write counting more bytes than it holds",
     [] { return SmallWith([](ImageBuilder& i) { i.Sections()[2].value2 = 17; }); },
     ImageRule::SectionDataBeyondSection, 65, 2},
    {"data block length that wraps 32 bits",
     [] {
         return SmallWith([](ImageBuilder& i) {
             i.Sections()[2].type = SECTION_DATA_1620;
             i.Sections()[2].value2 = 0xFFFFFFF0;
         });
     },
     ImageRule::SectionDataBeyondSection, 65, 2},
    {"zero vendor",
     [] {
         return SmallWith(
             [](ImageBuilder& i) { i.Sections()[0].data = IdentityData(0, 0x0A51, "612E", 1); });
     },
     ImageRule::ZeroVendorId, 34, -1},
    {"zero product",
     [] {
         return SmallWith(
             [](ImageBuilder& i) { i.Sections()[0].data = IdentityData(0x3A7C, 0, "612E", 1); });
     },
     ImageRule::ZeroProductId, 32, -1},
    {"zero model code",
     [] {
         return SmallWith([](ImageBuilder& i) {
             i.Sections()[0].data = IdentityData(0x3A7C, 0x0A51, std::string(4, '\0'), 1);
         });
     },
     ImageRule::ZeroModelCode, 28, -1},
    {"a later identity section with a zero vendor",
     [] { return SmallWith([](ImageBuilder& i) { i.Identity(0, 0x0A51, "612E", 1); }); },
     ImageRule::ZeroVendorId, 101 + 16 + 10, -1},
};

TEST(COrnaFirmwareTest, RefusesEveryBrokenRuleWithCode13AndSaysWhere) {
    for (const auto& c : kBrokenImages) {
        SCOPED_TRACE(c.name);
        const ImageDiagnostic d = Refused(c.image());
        EXPECT_EQ(d.code, 13);
        EXPECT_EQ(d.rule, c.rule) << ImageRuleName(d.rule);
        EXPECT_EQ(d.offset, c.offset);
        EXPECT_EQ(d.section, c.section);
    }
}

// The watch leaves the bus after a bare command, so an image may hold one at most, as the last
// step that needs the watch; what needs no watch may still follow.
TEST(COrnaFirmwareTest, ABareCommandMustBeTheLastStepThatNeedsTheWatch) {
    const auto withFlags = [](std::uint8_t flags) {
        return [flags](ImageBuilder& i) { i.Sections()[0].data[12] = flags; };
    };
    const auto then = [](std::uint32_t type) {
        return [type](ImageBuilder& i) { i.Command(type); };
    };
    const struct {
        const char* name;
        std::vector<std::function<void(ImageBuilder&)>> changes;
        std::uint64_t offset;  // of the step that cannot reach the watch; 0: loads
        std::int64_t section;
    } cases[] = {
        {"flags 1", {withFlags(1)}, 0, 0},
        {"flags 2", {withFlags(2)}, 0, 0},
        {"flags 4", {withFlags(4)}, 0, 0},
        {"flags 3", {withFlags(3)}, 8 + 16 + 12, 0},
        {"flags 7", {withFlags(7)}, 8 + 16 + 12, 0},
        {"flags 0x08 is no command", {withFlags(0x09)}, 0, 0},
        {"command 0x31 at the end", {withFlags(0), then(SECTION_COMMAND_31)}, 0, 0},
        {"command 0x30 and flags 1", {withFlags(1), then(SECTION_COMMAND_30)}, 36, 0},
        {"two commands",
         {withFlags(0), then(SECTION_COMMAND_32), then(SECTION_COMMAND_30)},
         101 + 16 + 4,
         5},
        {"a flash write after a command",
         {withFlags(0), then(SECTION_COMMAND_30),
          [](ImageBuilder& i) { i.DataSection(SECTION_FLASH_WRITE, 0, {1}); }},
         101 + 16 + 4,
         5},
        {"a sector erase of no sector after a command",
         {withFlags(0), then(SECTION_COMMAND_30), [](ImageBuilder& i) { i.SectorErase(1, 0); }},
         101 + 16 + 4,
         5},
        {"a data block after a command",
         {withFlags(0), then(SECTION_COMMAND_30),
          [](ImageBuilder& i) { i.DataSection(SECTION_DATA_1620, 0, {}); }},
         101 + 16 + 4,
         5},
        {"only steps without the watch after a command",
         {withFlags(0), then(SECTION_COMMAND_30), then(SECTION_201613), then(0x123456),
          [](ImageBuilder& i) { i.Identity(0x3A7C, 0x0A51, "612E", 0); }},
         0,
         0},
        {"a later identity asking for a command after a command section",
         {withFlags(0), then(SECTION_COMMAND_30),
          [](ImageBuilder& i) { i.Identity(0x3A7C, 0x0A51, "612E", 2); }},
         101 + 16 + 16 + 12,
         5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ImageBuilder builder = Small();
        for (const auto& change : c.changes) {
            change(builder);
        }
        if (c.offset == 0) {
            EXPECT_NO_THROW(COrnaFirmware(builder.Build(), nullptr, nullptr));
            continue;
        }
        const ImageDiagnostic d = Refused(builder.Build());
        EXPECT_EQ(d.code, 13);
        EXPECT_EQ(d.rule, ImageRule::BareCommandNotLast) << ImageRuleName(d.rule);
        EXPECT_EQ(d.offset, c.offset);
        EXPECT_EQ(d.section, c.section);
    }
}

TEST(COrnaFirmwareTest, Value2IsALengthOnlyWhereTheUpdateSendsData) {
    // A sector count and the values of unknown sections are not byte counts.
    const auto bytes = SmallWith([](ImageBuilder& i) {
        i.Sections()[1].value2 = 0xFFFFFFFF;
        ImageSection unknown;
        unknown.type = 0x123456;
        unknown.value1 = 7;
        unknown.value2 = 0xFFFFFFFF;
        i.Section(unknown);
    });
    COrnaFirmware image(bytes, nullptr, nullptr);
    ASSERT_EQ(image.commands.size(), 5u);
    EXPECT_EQ(image.commands[1].value2, 0xFFFFFFFFu);
    EXPECT_EQ(image.commands[4].type, 0x123456u);
    EXPECT_EQ(image.commands[4].value1, 7u);
}

TEST(COrnaFirmwareTest, TheLastIdentitySectionWins) {
    COrnaFirmware image(SmallWith([](ImageBuilder& i) { i.Identity(0x1111, 0x2222, "ABCD", 4); }),
                        nullptr, nullptr);
    EXPECT_EQ(image.VendorId(), 0x1111);
    EXPECT_EQ(image.ProductId(), 0x2222);
    EXPECT_EQ(image.Flags(), 4);
    EXPECT_EQ(image.identityData, image.commands[4].data);
    EXPECT_EQ(image.commands[0].type, SECTION_DEVICE_IDENTITY);
}

TEST(COrnaFirmwareTest, WithoutAVersionSectionTheVersionIsFiveSpaces) {
    COrnaFirmware image(Small().Build(), nullptr, nullptr);
    EXPECT_STREQ(image.GetVersionText(), "     ");
    std::uint32_t length = 99;
    const std::uint8_t* data = image.Image().data();
    image.GetVersionData(length, data);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(image.ReadNextByte(), -1);
}

// A version section of the given length filled with printable bytes, so the text is "AAAAA"
// wherever it is taken from.
ImageSection Block(std::uint32_t length, std::uint32_t type = SECTION_VERSION_BLOCK_1600) {
    ImageSection block;
    block.type = type;
    block.data.assign(length, 'A');
    return block;
}

TEST(COrnaFirmwareTest, VersionSectionMustHoldTheTextAtTheModelsOffset) {
    // 612E: 512 KiB blocks, text at 0x7FFFA.
    const ImageDiagnostic d = Refused(Small().Section(Block(0x7FFFA + 4)).Build());
    EXPECT_EQ(d.rule, ImageRule::VersionSectionTooShort);
    EXPECT_EQ(d.offset, 101u + 12);
    EXPECT_EQ(d.section, 4);

    COrnaFirmware fits(Small().Section(Block(0x7FFFA + 5)).Build(), nullptr, nullptr);
    EXPECT_STREQ(fits.GetVersionText(), "AAAAA");

    // Any model outside the table: 256 KiB blocks, text at 0x3FFFA.
    ImageBuilder other;
    other.Identity(0x3A7C, 0x0A51, "ABCD", 0)
        .VersionBlock(SECTION_VERSION_BLOCK_1601, "02.00", 0x40000);
    COrnaFirmware small(other.Build(), nullptr, nullptr);
    EXPECT_EQ(small.VersionOffset(), 0x3FFFAu);
    EXPECT_STREQ(small.GetVersionText(), "02.00");
}

TEST(COrnaFirmwareTest, VersionTextMustBePrintable) {
    for (const char bad : {'\x00', '\x7F', '\x1F'}) {
        SCOPED_TRACE(static_cast<int>(bad));
        std::string text = "01.30";
        text[2] = bad;
        const std::size_t dataStart = 101 + 16;
        const ImageDiagnostic d =
            Refused(Small().VersionBlock(SECTION_VERSION_BLOCK_1600, text, 0x80000).Build());
        EXPECT_EQ(d.rule, ImageRule::VersionTextNotPrintable);
        EXPECT_EQ(d.offset, dataStart + 0x7FFFA + 2);
    }
    // A text given to the constructor does not excuse a broken version section.
    std::string text =
        "01\x7F"
        "30";
    EXPECT_EQ(
        Refused(Small().VersionBlock(SECTION_VERSION_BLOCK_1600, text, 0x80000).Build(), L"09.99")
            .rule,
        ImageRule::VersionTextNotPrintable);
}

TEST(COrnaFirmwareTest, EveryVersionSectionIsCheckedAndTheLastOneCounts) {
    const ImageDiagnostic d =
        Refused(Small()
                    .Section(Block(100, SECTION_VERSION_BLOCK_1601))
                    .VersionBlock(SECTION_VERSION_BLOCK_1600, "01.30", 0x80000)
                    .Build());
    EXPECT_EQ(d.rule, ImageRule::VersionSectionTooShort);
    EXPECT_EQ(d.section, 4);

    COrnaFirmware image(Small()
                            .VersionBlock(SECTION_VERSION_BLOCK_1601, "01.10", 0x80000)
                            .VersionBlock(SECTION_VERSION_BLOCK_1600, "01.30", 0x80000)
                            .Build(),
                        nullptr, nullptr);
    EXPECT_STREQ(image.GetVersionText(), "01.30");
    std::uint32_t length = 0;
    const std::uint8_t* data = nullptr;
    image.GetVersionData(length, data);
    EXPECT_EQ(data, image.commands[5].data);
}

TEST(COrnaFirmwareTest, ResetVersionDataForgetsTheVersionData) {
    COrnaFirmware image(SampleImage().Build(), nullptr, nullptr);
    image.ResetVersionData(0);
    std::uint32_t length = 1;
    const std::uint8_t* data = image.Image().data();
    image.GetVersionData(length, data);
    EXPECT_EQ(length, 0u);
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(image.VersionOffset(), 0u);
    EXPECT_EQ(image.ReadNextByte(), -1);
    EXPECT_STREQ(image.GetVersionText(), "01.30");
}

TEST(COrnaFirmwareTest, TextsGivenToTheConstructorWinAndShareOneBufferPerKind) {
    COrnaFirmware a(SampleImage().Build(), L"02.00", "612E");
    COrnaFirmware b(SampleImage().Build(), nullptr, "712E");
    const char* versionA = a.GetVersionText();
    const char* modelA = a.GetModelText();
    EXPECT_STREQ(versionA, "02.00");
    EXPECT_STREQ(modelA, "612E");

    EXPECT_EQ(b.GetVersionText(), versionA);
    EXPECT_EQ(b.GetModelText(), modelA);
    EXPECT_STREQ(versionA, "01.30");
    EXPECT_STREQ(modelA, "712E");
}

// Restores the program's locale when the test ends.
class ScopedLocale {
  public:
    explicit ScopedLocale(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~ScopedLocale() { std::setlocale(LC_ALL, saved_.c_str()); }
    bool ok() const { return ok_; }

  private:
    std::string saved_;
    bool ok_ = false;
};

TEST(COrnaFirmwareTest, OverlongTextsAreCutWithoutSplittingACharacter) {
    COrnaFirmware plain(SampleImage().Build(), L"01.2345", "612EXYZ");
    EXPECT_STREQ(plain.GetVersionText(), "01.23");
    EXPECT_STREQ(plain.GetModelText(), "612E");

    ScopedLocale utf8("C.UTF-8");
    if (!utf8.ok()) {
        GTEST_SKIP() << "no C.UTF-8 locale";
    }
    // "01.2é" is six bytes in UTF-8; "612É" five.
    COrnaFirmware wide(SampleImage().Build(), L"01.2\u00e9", "61\xc3\x89");
    EXPECT_STREQ(wide.GetVersionText(), "01.2");
    EXPECT_STREQ(wide.GetModelText(), "61\xc3\x89");
    COrnaFirmware cut(SampleImage().Build(), nullptr, "612\xc3\x89");
    EXPECT_STREQ(cut.GetModelText(), "612");
}

// Version data whose byte i is (i & 0xFF) ^ mask.
COrnaFirmware CountingVersionData(std::uint8_t mask) {
    ImageSection block;
    block.type = SECTION_VERSION_BLOCK_1600;
    block.data.resize(0x80000);
    for (std::size_t i = 0; i < block.data.size(); ++i) {
        block.data[i] = static_cast<std::uint8_t>(i ^ mask);
    }
    block.versionText = "01.30";
    return COrnaFirmware(Small().Section(block).Build(), nullptr, nullptr);
}

TEST(COrnaFirmwareTest, ReadNextByteCursorIsSharedByAllImages) {
    COrnaFirmware a = CountingVersionData(0x00);
    COrnaFirmware b = CountingVersionData(0x5A);
    // The cursor may already have moved in this process; it only ever goes forward.
    const std::int32_t first = a.ReadNextByte();
    ASSERT_GE(first, 0);
    EXPECT_EQ(a.ReadNextByte(), (first + 1) & 0xFF);
    EXPECT_EQ(b.ReadNextByte(), ((first + 2) & 0xFF) ^ 0x5A);
}

}  // namespace
