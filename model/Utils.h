// Text, boolean, number, float-list and set conversions, and string cutting.
//
// All strings are 8-bit text (UTF-8 on this platform); positions are 1-based
// as in every text operation of the system; bytes above 127 are compared and
// copied as bytes.
#pragma once

#include <bitset>
#include <string>
#include <string_view>
#include <vector>

namespace mivo {

// A set of small integers 0..255 (scale values, report parts).
using TValueSet = std::bitset<256>;

// A dynamic array of doubles (weights of a decision table).
using TFloatList = std::vector<double>;

// The set holding every member 0..255.
TValueSet FullValueSet();

// --- conversions ---------------------------------------------------------

// Fixed notation with `decimals` decimals and the locale's decimal separator.
std::string FloatToStrFixed(double value, int decimals);

// "True" or "False".
std::string BoolToStr(bool value);

// "0", "F", "FALSE", "NO" -> false; "1", "T", "TRUE", "YES" -> true, in any
// letter case; anything else raises EConvertError
// "\"%s\" is not a valid Boolean value".
bool StrToBool(std::string_view text);

// Members in increasing order joined by ";" ("0;3;5"); empty set: "".
std::string SetToStr(const TValueSet& set);

// Reads "3;5;..."; a piece that is not an integer raises EConvertError
// "'%s' is not a valid integer value"; numbers outside 0..255 are ignored.
TValueSet StrToSet(std::string_view text);

// General format, at most 15 significant digits, '.' as decimal separator
// (0.5, 1E-6, 1.5E20).
std::string FloatToStrDot(double value);

// Reads a number written with '.' (or the locale's separator); bad text
// raises EConvertError "'%s' is not a valid floating point value".
double StrToFloatDot(std::string_view text);

// Items by FloatToStrDot joined by ";".
std::string FloatArrayToStr(const TFloatList& list);

// Empty text: empty list; else one item per ';'-separated piece, each read
// by StrToFloatDot (an empty piece raises the conversion error).
TFloatList StrToFloatArray(std::string_view text);

// A decimal integer (optional blanks in front, optional sign); raises
// EConvertError "'%s' is not a valid integer value".
int StrToInt(std::string_view text);

// --- string operations ---------------------------------------------------

// The character at a 1-based position; '\0' outside the text.
char CharAt(std::string_view text, long long position);
int CountChar(std::string_view text, char c);
std::string StrOfChar(int count, char c);
std::string RepeatStr(int count, std::string_view text);
// From a 1-based position to the end.
std::string CopyFrom(std::string_view text, long long position);
// Positions first..last, both included (1-based).
std::string CopyRange(std::string_view text, long long first, long long last);
std::string StrBefore(std::string_view text, std::string_view delimiter);
std::string StrAfter(std::string_view text, std::string_view delimiter);
std::string ReplaceChar(std::string_view text, char from, char to);
std::string ReplaceStr(std::string_view text, std::string_view old_text, std::string_view new_text);
// The file name unchanged when its last path component has a '.', else the
// name with `extension` (which carries its dot) appended.
std::string DefaultExt(std::string_view file_name, std::string_view extension);
void Swap(int& a, int& b);

// Blanks and control characters (codes up to 32) removed at both ends.
std::string Trim(std::string_view text);

// --- cutting a text into tokens -------------------------------------------

// Skips leading blanks and control characters; the token is the part before
// the first blank and the text becomes the part after it (not trimmed). A
// text of blanks only gives an empty token and becomes empty.
std::string NextToken(std::string& text);

// Empty delimiter: NextToken. Otherwise the part before the first occurrence
// of the delimiter; the text loses that part and the delimiter.
std::string NextTokenDelim(std::string& text, std::string_view delimiter);

// NextTokenDelim with a one-character delimiter.
std::string CutToken(std::string& text, char delimiter);

}  // namespace mivo
