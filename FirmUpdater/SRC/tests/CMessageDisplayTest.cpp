#include "CMessageDisplay.h"

#include <gtest/gtest.h>

#include "Dialog.h"
#include "ResourceIds.h"
#include "ScriptedUi.h"
#include "UiLanguage.h"

namespace {

class MessageDisplay : public testing::Test {
  protected:
    void TearDown() override { uiLanguage = 0; }
    ui::ScriptedUi ui;
};

TEST_F(MessageDisplay, BoxesCarryTheCaptionTopMostStyleAndInterfaceLanguage) {
    SelectUiLanguage(res::LANG_GERMAN);
    CMessageDisplay messages(ui);
    EXPECT_EQ(messages.Show(res::IDS_READ_FAILED, ui::MB_ICONINFORMATION), ui::IDOK);
    ui.Answer(ui::IDCANCEL);
    EXPECT_EQ(messages.Show(res::IDS_NOT_CONNECTED_FIRST, 0x35), ui::IDCANCEL);

    const auto boxes = ui.MessageBoxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, L"Die Datei konnte nicht gelesen werden.");
    EXPECT_EQ(boxes[0].caption, L"KORVELIN Firmware-Update-Tool");
    EXPECT_EQ(boxes[0].style, 0x40u | ui::MB_TOPMOST);
    EXPECT_EQ(boxes[0].language, res::LANG_GERMAN);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[1].style, 0x35u | ui::MB_TOPMOST);
    EXPECT_EQ(boxes[1].text, messages.LoadText(res::IDS_NOT_CONNECTED_FIRST));
}

TEST_F(MessageDisplay, TheCaptionIsLoadedInTheLanguageAtConstruction) {
    SelectUiLanguage(res::LANG_JAPANESE);
    CMessageDisplay messages(ui);
    SelectUiLanguage(res::LANG_ENGLISH);
    messages.ShowText(L"", ui::MB_ICONEXCLAMATION);
    EXPECT_EQ(ui.MessageBoxes().at(0).caption, L"ArmillonGPS ファームウェア更新ツール");
    EXPECT_EQ(ui.MessageBoxes().at(0).text, L"");
}

TEST_F(MessageDisplay, FormatsAndBelongsToItsOwnerDialog) {
    SelectUiLanguage(res::LANG_ENGLISH);
    ui::Dialog owner(ui);
    CMessageDisplay messages(owner);
    EXPECT_EQ(messages.FormatText(res::IDS_CURRENT_VERSION, {L"1.2"}),
              L"Current firmware version:   1.2");
    EXPECT_TRUE(
        messages.FormatText(res::IDS_UP_TO_DATE, {L"0.99", L"01.30    "})
            .starts_with(L"Current firmware version: 0.99\nNew firmware version: 01.30    \n"));
    messages.Show(res::IDS_UPDATE_FAILED, ui::MB_ICONEXCLAMATION);
    EXPECT_EQ(ui.MessageBoxes().at(0).owner, &owner);
}

}  // namespace
