// The user's locale as the system sees it: the decimal separator shown in
// texts for the user, and the case-insensitive comparison of texts.
//
// The separator is program state set once at start-up from the environment
// (`InitLocaleFromEnvironment`) or explicitly (`SetDecimalSeparator`, used by
// tests). Number formatting elsewhere is done locale-independently and then
// given this separator, so results never depend on the C library's locale.
//
// Case-insensitive comparison folds ASCII letters and the letters of UTF-8
// text (Latin-1 Supplement, Latin Extended-A and Extended Additional,
// Greek, Cyrillic, Armenian, fullwidth Latin) by simple case folding, the
// same way everywhere; bytes that are not valid UTF-8 compare as
// themselves.
#pragma once

#include <string>
#include <string_view>

namespace mivo {

// The current decimal separator ('.' until set otherwise).
char DecimalSeparator();
void SetDecimalSeparator(char separator);

// Calls setlocale(LC_ALL, "") and takes the decimal separator from the
// user's locale; the C library's numeric locale is then put back to "C" so
// that no library call formats numbers behind the system's back.
void InitLocaleFromEnvironment();

// The text with every letter folded to its lower-case form.
std::string FoldCase(std::string_view text);

// Case-insensitive comparison: negative, zero or positive.
int CompareText(std::string_view a, std::string_view b);
bool SameText(std::string_view a, std::string_view b);

// Upper-case / lower-case of ASCII letters only (format words, extensions).
std::string UpperCaseAscii(std::string_view text);
std::string LowerCaseAscii(std::string_view text);

}  // namespace mivo
