#include "OrnaVersionUpDecision.h"

#include "SampleImage.h"

#include <gtest/gtest.h>

namespace {

using firmware::ImageBuilder;
using firmware::SampleImage;

// An image whose version text is "01.23".
COrnaFirmware Image123() {
    return COrnaFirmware(SampleImage().Build(), L"01.23", nullptr);
}

TEST(OrnaVersionUpDecisionTest, UpdatesOnlyAnOlderWatch) {
    struct Case {
        const wchar_t* device;
        std::int32_t compare;
        std::int32_t decision;
    };
    const Case cases[] = {
        {L"01.22", 1, VersionUpDecision::UPDATE_NEEDED},
        {L"01.23", 3, VersionUpDecision::UPDATE_NOT_NEEDED},
        {L"01.24", 0, VersionUpDecision::UPDATE_NOT_NEEDED},
        {L"01.23-beta", 3, VersionUpDecision::UPDATE_NOT_NEEDED},  // first five characters only
        {L"", 1, VersionUpDecision::UPDATE_NEEDED},  // the watch's version could not be read
    };
    COrnaFirmware image = Image123();
    OrnaVersionUpDecision decision(&image);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "device " << c.device);
        EXPECT_EQ(decision.CompareVersion(c.device), c.compare);
        EXPECT_EQ(decision.Decide(c.device, L"", L""), c.decision);
        EXPECT_EQ(decision.Decide(c.device, L"any product", L"ORNA-HWREV1-999X"), c.decision);
    }
}

TEST(OrnaVersionUpDecisionTest, ImageWithoutVersionSectionUpdatesNoWatch) {
    COrnaFirmware image(ImageBuilder().Identity(0x3A7C, 0x0A51, "612E", 0).Build(), nullptr,
                        nullptr);
    OrnaVersionUpDecision decision(&image);
    EXPECT_EQ(decision.Decide(L"01.00", L"", L""), VersionUpDecision::UPDATE_NOT_NEEDED);
}

class UpdateEqualVersions : public OrnaVersionUpDecision {
  public:
    using OrnaVersionUpDecision::OrnaVersionUpDecision;
    std::int32_t CheckModel(const wchar_t*) override { return 1; }
};

class ImpossibleProduct : public OrnaVersionUpDecision {
  public:
    using OrnaVersionUpDecision::OrnaVersionUpDecision;
    std::int32_t CheckProduct(const wchar_t*) override { return UPDATE_IMPOSSIBLE; }
    std::int32_t CompareVersion(const wchar_t*) override {
        ADD_FAILURE() << "versions compared after the product refused";
        return 1;
    }
};

TEST(OrnaVersionUpDecisionTest, DerivedRulesSteerTheDecision) {
    COrnaFirmware image = Image123();
    UpdateEqualVersions updateEqual(&image);
    EXPECT_EQ(updateEqual.Decide(L"01.23", L"", L""), VersionUpDecision::UPDATE_NEEDED);
    EXPECT_EQ(updateEqual.Decide(L"01.24", L"", L""), VersionUpDecision::UPDATE_NOT_NEEDED);

    ImpossibleProduct impossible(&image);
    EXPECT_EQ(impossible.Decide(L"01.00", L"", L""), VersionUpDecision::UPDATE_IMPOSSIBLE);
}

}  // namespace
