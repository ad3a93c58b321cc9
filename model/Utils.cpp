#include "model/Utils.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <utility>

#include "model/Locale.h"
#include "model/RunTime.h"

namespace mivo {

namespace {

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= ' '; }

// 1-based position clamped into a 0-based offset within the text.
std::size_t Offset(std::string_view text, long long position) {
    if (position < 1) return 0;
    auto p = static_cast<unsigned long long>(position - 1);
    return p > text.size() ? text.size() : static_cast<std::size_t>(p);
}

std::string WithLocaleSeparator(std::string text) {
    char sep = DecimalSeparator();
    if (sep != '.')
        for (char& c : text)
            if (c == '.') c = sep;
    return text;
}

}  // namespace

TValueSet FullValueSet() { return TValueSet().set(); }

std::string FloatToStrFixed(double value, int decimals) {
    if (decimals < 0) decimals = 0;
    if (decimals > 18) decimals = 18;
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return WithLocaleSeparator(buffer);
}

std::string BoolToStr(bool value) { return value ? "True" : "False"; }

bool StrToBool(std::string_view text) {
    std::string upper = UpperCaseAscii(text);
    if (upper == "0" || upper == "F" || upper == "FALSE" || upper == "NO") return false;
    if (upper == "1" || upper == "T" || upper == "TRUE" || upper == "YES") return true;
    throw EConvertError(Format("\"%s\" is not a valid Boolean value", std::string(text)));
}

std::string SetToStr(const TValueSet& set) {
    std::string out;
    for (int i = 0; i < 256; ++i) {
        if (!set.test(static_cast<std::size_t>(i))) continue;
        if (!out.empty()) out += ';';
        out += std::to_string(i);
    }
    return out;
}

int StrToInt(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::string_view digits = text.substr(i);
    if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
    int value = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size() ||
        (digits.front() == '-' && text.substr(i).front() == '+'))
        throw EConvertError(Format("'%s' is not a valid integer value", std::string(text)));
    return value;
}

TValueSet StrToSet(std::string_view text) {
    TValueSet set;
    std::string rest(text);
    while (!rest.empty()) {
        std::string piece = CutToken(rest, ';');
        int n = StrToInt(piece);
        if (n >= 0 && n <= 255) set.set(static_cast<std::size_t>(n));
    }
    return set;
}

std::string FloatToStrDot(double value) {
    if (value == 0.0 || !std::isfinite(value)) {
        if (std::isnan(value)) return "NAN";
        if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
        return "0";
    }
    // 15 significant digits: d.dddddddddddddde[+-]x
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", value);
    std::string s = buffer;
    bool negative = s[0] == '-';
    if (negative) s.erase(0, 1);
    std::size_t e = s.find('e');
    int exponent = std::stoi(s.substr(e + 1));
    std::string digits = s.substr(0, 1) + s.substr(2, e - 2);  // 15 digits
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string out;
    if (exponent < -5 || exponent >= 15) {
        out = digits.substr(0, 1);
        if (digits.size() > 1) out += "." + digits.substr(1);
        out += "E" + std::to_string(exponent);
    } else if (exponent < 0) {
        out = "0." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    } else {
        auto int_digits = static_cast<std::size_t>(exponent + 1);
        if (digits.size() <= int_digits) {
            out = digits + std::string(int_digits - digits.size(), '0');
        } else {
            out = digits.substr(0, int_digits) + "." + digits.substr(int_digits);
        }
    }
    return negative ? "-" + out : out;
}

double StrToFloatDot(std::string_view text) {
    auto fail = [&]() -> EConvertError {
        return EConvertError(Format("'%s' is not a valid floating point value", std::string(text)));
    };
    // '.' stands for the locale's separator; so does the separator itself.
    std::string s = Trim(text);
    char sep = DecimalSeparator();
    if (sep != '.')
        for (char& c : s)
            if (c == sep) c = '.';
    if (s.empty()) throw fail();
    for (char c : s)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E')) throw fail();
    std::string_view v = s;
    bool negative = false;
    if (v.front() == '+' || v.front() == '-') {
        negative = v.front() == '-';
        v.remove_prefix(1);
    }
    if (v.empty() || v.front() == '+' || v.front() == '-') throw fail();
    double value = 0;
    auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (ec != std::errc() || end != v.data() + v.size()) throw fail();
    return negative ? -value : value;
}

std::string FloatArrayToStr(const TFloatList& list) {
    std::string out;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (i > 0) out += ';';
        out += FloatToStrDot(list[i]);
    }
    return out;
}

TFloatList StrToFloatArray(std::string_view text) {
    TFloatList list;
    if (text.empty()) return list;
    std::size_t count = static_cast<std::size_t>(CountChar(text, ';')) + 1;
    list.reserve(count);
    std::string rest(text);
    for (std::size_t i = 0; i < count; ++i) list.push_back(StrToFloatDot(CutToken(rest, ';')));
    return list;
}

char CharAt(std::string_view text, long long position) {
    if (position < 1 || static_cast<unsigned long long>(position) > text.size()) return '\0';
    return text[static_cast<std::size_t>(position - 1)];
}

int CountChar(std::string_view text, char c) {
    int n = 0;
    for (char x : text)
        if (x == c) n = CheckedAdd(n, 1);
    return n;
}

std::string StrOfChar(int count, char c) { return count > 0 ? std::string(static_cast<std::size_t>(count), c) : ""; }

std::string RepeatStr(int count, std::string_view text) {
    std::string out;
    if (count <= 0) return out;
    out.reserve(CheckedMul(static_cast<std::size_t>(count), text.size()));
    for (int i = 0; i < count; ++i) out += text;
    return out;
}

std::string CopyFrom(std::string_view text, long long position) {
    return std::string(text.substr(Offset(text, position)));
}

std::string CopyRange(std::string_view text, long long first, long long last) {
    if (first < 1) first = 1;
    auto size = static_cast<long long>(text.size());
    if (last > size) last = size;
    if (first > last) return "";
    return std::string(text.substr(static_cast<std::size_t>(first - 1), static_cast<std::size_t>(last - first + 1)));
}

std::string StrBefore(std::string_view text, std::string_view delimiter) {
    std::size_t p = text.find(delimiter);
    return std::string(p == std::string_view::npos ? text : text.substr(0, p));
}

std::string StrAfter(std::string_view text, std::string_view delimiter) {
    std::size_t p = text.find(delimiter);
    return std::string(p == std::string_view::npos ? text : text.substr(p + delimiter.size()));
}

std::string ReplaceChar(std::string_view text, char from, char to) {
    std::string out(text);
    for (char& c : out)
        if (c == from) c = to;
    return out;
}

std::string ReplaceStr(std::string_view text, std::string_view old_text, std::string_view new_text) {
    if (old_text.empty()) return std::string(text);
    std::string out;
    std::size_t pos = 0;
    for (;;) {
        std::size_t hit = text.find(old_text, pos);
        if (hit == std::string_view::npos) break;
        out.append(text.substr(pos, hit - pos));
        out.append(new_text);
        pos = hit + old_text.size();
    }
    out.append(text.substr(pos));
    return out;
}

std::string DefaultExt(std::string_view file_name, std::string_view extension) {
    std::size_t slash = file_name.find_last_of("/\\");
    std::string_view last = slash == std::string_view::npos ? file_name : file_name.substr(slash + 1);
    if (last.find('.') != std::string_view::npos) return std::string(file_name);
    return std::string(file_name) + std::string(extension);
}

void Swap(int& a, int& b) { std::swap(a, b); }

std::string Trim(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && IsTrimmed(text[b])) ++b;
    while (e > b && IsTrimmed(text[e - 1])) --e;
    return std::string(text.substr(b, e - b));
}

std::string NextToken(std::string& text) {
    // Leading blanks go; trailing ones stay with the rest of the text, so a
    // text of blanks only gives an empty token and an empty text.
    if (Trim(text).empty()) {
        text.clear();
        return "";
    }
    std::size_t start = 0;
    while (IsTrimmed(text[start])) ++start;
    text.erase(0, start);
    std::size_t blank = text.find(' ');
    if (blank == std::string::npos) return std::exchange(text, std::string());
    std::string token = text.substr(0, blank);
    text.erase(0, blank + 1);
    return token;
}

std::string NextTokenDelim(std::string& text, std::string_view delimiter) {
    if (delimiter.empty()) return NextToken(text);
    std::size_t p = text.find(delimiter);
    if (p == std::string::npos) return std::exchange(text, std::string());
    std::string token = text.substr(0, p);
    text.erase(0, p + delimiter.size());
    return token;
}

std::string CutToken(std::string& text, char delimiter) {
    return NextTokenDelim(text, std::string_view(&delimiter, 1));
}

}  // namespace mivo
