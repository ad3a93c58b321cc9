#include <gtest/gtest.h>

#include "model/CodePage.h"
#include "model/Locale.h"
#include "model/MivoSettings.h"
#include "model/MivoUtl.h"
#include "model/RunTime.h"
#include "model/Utils.h"

using namespace mivo;

namespace {

// Runs a test body under a given decimal separator and restores '.'.
struct SeparatorScope {
    explicit SeparatorScope(char c) { SetDecimalSeparator(c); }
    ~SeparatorScope() { SetDecimalSeparator('.'); }
};

std::string ConversionMessage(auto&& f) {
    try {
        f();
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "<no error>";
}

}  // namespace

TEST(StrToBool, AcceptsTheWordsInAnyCaseAndNamesBadTextAsPassed) {
    struct Case { const char* text; bool value; };
    for (Case c : {Case{"yes", true}, {"No", false}, {"t", true}, {"0", false}, {"TRUE", true}, {"f", false}, {"1", true}})
        EXPECT_EQ(StrToBool(c.text), c.value) << c.text;
    EXPECT_EQ(ConversionMessage([] { StrToBool(""); }), "\"\" is not a valid Boolean value");
    EXPECT_EQ(ConversionMessage([] { StrToBool("2"); }), "\"2\" is not a valid Boolean value");
    EXPECT_EQ(ConversionMessage([] { StrToBool("maybe"); }), "\"maybe\" is not a valid Boolean value");
}

TEST(ValueSets, WriteAndRead) {
    std::string full;
    for (int i = 0; i < 256; ++i) full += (i ? ";" : "") + std::to_string(i);
    EXPECT_EQ(SetToStr(FullValueSet()), full);
    EXPECT_EQ(SetToStr(TValueSet()), "");
    TValueSet s = StrToSet("3;300;-1;5");
    EXPECT_EQ(SetToStr(s), "3;5");
    EXPECT_EQ(StrToSet(SetToStr(FullValueSet())), FullValueSet());
    EXPECT_EQ(ConversionMessage([] { StrToSet("3;;5"); }), "'' is not a valid integer value");
    EXPECT_EQ(ConversionMessage([] { StrToSet("3;x"); }), "'x' is not a valid integer value");
}

TEST(Floats, DotFormIsIndependentOfTheLocale) {
    for (char sep : {'.', ','}) {
        SeparatorScope scope(sep);
        EXPECT_EQ(FloatToStrDot(0.5), "0.5");
        EXPECT_EQ(StrToFloatArray("1.5;2"), (TFloatList{1.5, 2.0}));
        EXPECT_EQ(StrToFloatDot("-2.25"), -2.25);
    }
    EXPECT_TRUE(StrToFloatArray("").empty());
    EXPECT_EQ(ConversionMessage([] { StrToFloatArray("1;"); }), "'' is not a valid floating point value");
    EXPECT_EQ(ConversionMessage([] { StrToFloatDot("abc"); }), "'abc' is not a valid floating point value");
    EXPECT_EQ(ConversionMessage([] { StrToFloatDot("inf"); }), "'inf' is not a valid floating point value");
}

TEST(Floats, GeneralFormatCases) {
    struct Case { double value; const char* text; };
    for (Case c : {Case{0, "0"}, {1e-6, "1E-6"}, {0.00001, "0.00001"}, {100, "100"}, {-3.125, "-3.125"},
                   {1.0 / 3, "0.333333333333333"}, {123456789012345.0, "123456789012345"},
                   {1.5e20, "1.5E20"}, {2.0 / 3, "0.666666666666667"}, {62.5, "62.5"}})
        EXPECT_EQ(FloatToStrDot(c.value), c.text) << c.value;
    TFloatList list{12.5, 0.1, 87.4};
    EXPECT_EQ(StrToFloatArray(FloatArrayToStr(list)), list);
}

TEST(Floats, FixedFormUsesTheLocaleSeparator) {
    EXPECT_EQ(FloatToStrFixed(2.345, 1), "2.3");
    SeparatorScope scope(',');
    EXPECT_EQ(FloatToStrFixed(12.5, 2), "12,50");
    EXPECT_EQ(FloatToStrFixed(3, 0), "3");
}

TEST(Strings, PositionsAreOneBasedAndSafe) {
    EXPECT_EQ(CharAt("abc", 0), '\0');
    EXPECT_EQ(CharAt("abc", 4), '\0');
    EXPECT_EQ(CharAt("abc", 3), 'c');
    EXPECT_EQ(CopyFrom("abcdef", 3), "cdef");
    EXPECT_EQ(CopyFrom("abc", 10), "");
    EXPECT_EQ(CopyRange("abcdef", 2, 4), "bcd");
    EXPECT_EQ(CopyRange("abcdef", 5, 99), "ef");
    EXPECT_EQ(CopyRange("abcdef", 4, 2), "");
    EXPECT_EQ(StrBefore("a=b=c", "="), "a");
    EXPECT_EQ(StrAfter("a=b=c", "="), "b=c");
    EXPECT_EQ(StrBefore("abc", ";"), "abc");
    EXPECT_EQ(StrAfter("abc", ";"), "abc");
    EXPECT_EQ(ReplaceStr("aaa", "a", "aa"), "aaaaaa");
    EXPECT_EQ(ReplaceStr("x--y--", "--", "-"), "x-y-");
    EXPECT_EQ(CountChar("a;b;c", ';'), 2);
    EXPECT_EQ(StrOfChar(3, ' '), "   ");
    EXPECT_EQ(RepeatStr(2, "ab"), "abab");
    EXPECT_EQ(DefaultExt("dir.x/model", ".mvo"), "dir.x/model.mvo");
    EXPECT_EQ(DefaultExt("model.xml", ".mvo"), "model.xml");
}

TEST(Tokens, CuttingTexts) {
    std::string t = "  ab cd  ";
    EXPECT_EQ(NextToken(t), "ab");
    EXPECT_EQ(t, "cd  ");
    std::string blanks = "   ";
    EXPECT_EQ(NextToken(blanks), "");
    EXPECT_EQ(blanks, "");
    std::string d = "a::b::c";
    EXPECT_EQ(NextTokenDelim(d, "::"), "a");
    EXPECT_EQ(d, "b::c");
    std::string s = "x;y";
    EXPECT_EQ(CutToken(s, ';'), "x");
    EXPECT_EQ(CutToken(s, ';'), "y");
    EXPECT_EQ(s, "");
}

TEST(MivoUtl, NormalizeAndSameValue) {
    TFloatList zeros{0, 0};
    NormalizeSum(zeros, 100);
    EXPECT_EQ(zeros, (TFloatList{0, 0}));
    TFloatList l{1, 3};
    NormalizeSum(l, 100);
    EXPECT_DOUBLE_EQ(l[0], 25);
    EXPECT_DOUBLE_EQ(l[1], 75);
    TFloatList m{-1, 2, 4};
    NormalizeMax(m, 100);
    EXPECT_EQ(m, (TFloatList{-25, 50, 100}));
    EXPECT_TRUE(SameValue(1.0, 1.0 + 1e-13));
    EXPECT_FALSE(SameValue(1.0, 1.0 + 1e-11));
}

TEST(Locale, CaseInsensitiveComparisonFoldsLatinLetters) {
    EXPECT_TRUE(SameText("Price", "PRICE"));
    EXPECT_TRUE(SameText("Čas ŽIVLJENJA", "čas življenja"));
    EXPECT_TRUE(SameText("ÄÖÜ", "äöü"));
    EXPECT_FALSE(SameText("a", "b"));
    EXPECT_LT(CompareText("apple", "Banana"), 0);
    EXPECT_TRUE(SameText("\xff\xfe", "\xff\xfe"));  // invalid bytes compare as bytes
}

TEST(CodePage, TextIsKeptAsBytesAndCutByCodePoints) {
    // "Čaša €" and an invalid byte: conversions keep every byte.
    const std::string text = "\xC4\x8C" "a\xC5\xA1" "a \xE2\x82\xAC\xFF";
    EXPECT_EQ(LocalToUtf8(text), text);
    EXPECT_EQ(Utf8ToLocal(text), text);
    EXPECT_EQ(CodePointCount(text), 7u);
    struct Case { std::size_t count; std::string cut; };
    for (const Case& c : {Case{0, ""}, {1, "\xC4\x8C"}, {3, "\xC4\x8C" "a\xC5\xA1"},
                          {6, "\xC4\x8C" "a\xC5\xA1" "a \xE2\x82\xAC"}, {7, text}, {50, text}})
        EXPECT_EQ(CutToCodePoints(text, c.count), c.cut) << c.count;
    // A truncated sequence counts as single bytes and is never completed.
    EXPECT_EQ(CutToCodePoints("\xE2\x82x", 1), "\xE2");
    EXPECT_EQ(PadRightToCodePoints("\xC4\x8C", 3), "\xC4\x8C  ");
    EXPECT_EQ(PadRightToCodePoints("abcd", 2), "abcd");
}

TEST(RunTime, CheckedArithmeticAndAssertions) {
    EXPECT_THROW(CheckedAdd(2147483647, 1), EIntOverflow);
    EXPECT_THROW(CheckedMul<int>(65536, 65536), EIntOverflow);
    EXPECT_EQ(CheckedMul<int>(1024, 1024), 1048576);
    EXPECT_THROW(CheckedCast<unsigned char>(256), ERangeError);
    std::vector<int> v{1, 2};
    EXPECT_THROW(At(v, 2), ERangeError);
    EXPECT_THROW(At(v, -1), ERangeError);
    try {
        MIVO_ASSERT(false, "Invariant broken");
        FAIL();
    } catch (const EAssertionFailed& e) {
        EXPECT_EQ(e.Message().rfind("Invariant broken (utils_test.cpp, line ", 0), 0u) << e.Message();
    }
    EXPECT_EQ(Format("%s=%d", std::string("n"), 5), "n=5");
}

TEST(Settings, DefaultsAndEvalColumns) {
    TMivoSettings s;
    EXPECT_EQ(s.ReportParts.count(), 256u);
    EXPECT_EQ(s.WeightShow.count(), 256u);
    EXPECT_EQ(s.EvalColumns(), 5);
    s.EvalCol = -3;
    EXPECT_EQ(s.EvalColumns(), 5);
    s.EvalCol = 7;
    EXPECT_EQ(s.EvalColumns(), 7);
    EXPECT_EQ(s.BadColor, 255u);
    EXPECT_EQ(s.GoodColor, 0x8000u);
    EXPECT_EQ(s.GoodFontStyle, fsBold | fsItalic);
    EXPECT_EQ(s.FontName, "Arial");
    EXPECT_EQ(s.OptDataType, 1);
    EXPECT_EQ(s.FncFormatType, 1);
    s.FontName = "x";
    s.Defaults();
    EXPECT_EQ(s, TMivoSettings());
}
