// The narrow texts in the C library's locales.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "TextConversion.h"

namespace {

// Switches the process locale for one test and restores it afterwards.
class LocaleGuard {
  public:
    explicit LocaleGuard(const char* name) : saved_(std::setlocale(LC_ALL, nullptr)) {
        ok_ = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleGuard() { std::setlocale(LC_ALL, saved_.c_str()); }
    bool ok() const { return ok_; }

  private:
    std::string saved_;
    bool ok_ = false;
};

TEST(TextConversion, Utf8LocaleRoundTripsEveryLanguage) {
    LocaleGuard guard("C.UTF-8");
    if (!guard.ok()) {
        GTEST_SKIP() << "C.UTF-8 locale not available";
    }
    const std::wstring text =
        L"Gr\u00fc\u00dfe \u0417\u0434\u0440\u0430\u0432\u0441\u0442\u0432\u0443\u0439 "
        L"\u65e5\u672c";
    const std::string narrow = common::WideToNarrow(text);
    EXPECT_EQ(narrow, common::WideToUtf8(text));
    EXPECT_EQ(common::NarrowToWide(narrow), text);
}

TEST(TextConversion, CLocaleSubstitutesWhatItCannotCarry) {
    LocaleGuard guard("C");
    EXPECT_EQ(common::WideToNarrow(L"1.2\u00e93"), "1.2?3");
    EXPECT_EQ(common::WideToNarrow(L"01.23"), "01.23");
    // Bytes outside ASCII never vanish: each is one substitute or one character.
    const std::wstring wide =
        common::NarrowToWide(std::string("A\xff"
                                         "B",
                                         3));
    EXPECT_EQ(wide.size(), 3u);
    EXPECT_EQ(wide[0], L'A');
    EXPECT_EQ(wide[2], L'B');
}

}  // namespace
