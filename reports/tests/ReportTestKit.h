// Helpers shared by the report engine's tests: a report attached to a text
// formatter (one character per device unit), so that boxes can be built
// and measured outside a run, and a recording drawing surface.
#pragma once

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/RunTime.h"
#include "reports/Reports.h"

namespace mivo::testing {

// A report with a 10-point font and a text formatter of the given page size,
// attached as the report's formatter.
struct AttachedReport {
    explicit AttachedReport(TPoint size = {80, 0}) : formatter(report, TPoint{0, 0}, size) {
        TFont font;
        font.Size = 10;
        report.SetFont(font);
        report.SetFormatter(&formatter);
        formatter.SetRandomSource([](int) { return 0; });
    }

    TReport report;
    TTextFormatter formatter;
};

// Display texts of the children of a group box, "|" for boxes that show no
// text.
inline std::vector<std::string> ChildTexts(const TBoxGroup& group) {
    std::vector<std::string> out;
    for (int i = 0; i < group.Count(); ++i) {
        auto* text = dynamic_cast<TTextBox*>(group.GetItem(i));
        out.push_back(text ? text->GetDisplayText() : "|");
    }
    return out;
}

// The display texts of every line of a paragraph box (prefix and suffix
// included, as empty texts).
inline std::vector<std::vector<std::string>> LinesOf(TBox& box) {
    std::vector<std::vector<std::string>> out;
    auto& group = dynamic_cast<TBoxGroup&>(box);
    for (int i = 0; i < group.Count(); ++i) out.push_back(ChildTexts(dynamic_cast<TBoxGroup&>(*group.GetItem(i))));
    return out;
}

// The message part of an assertion, without " (file, line n)".
template <typename F>
std::string AssertionText(F&& f) {
    try {
        f();
    } catch (const EAssertionFailed& e) {
        std::string m = e.Message();
        auto at = m.rfind(" (");
        return at == std::string::npos ? m : m.substr(0, at);
    }
    return "<no assertion>";
}

// Every line of a text.
inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            out.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) out.push_back(line);
    return out;
}

// --- stored expected output ------------------------------------------------------

// reports/tests/data/<name>.
inline std::string EngineFixturePath(const std::string& name) {
    return std::string(MIVO_SOURCE_DIR) + "/reports/tests/data/" + name;
}

inline std::string ReadEngineFixture(const std::string& name) {
    std::ifstream in(EngineFixturePath(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Compares the text with the stored fixture. With
// MIVO_WRITE_REPORT_FIXTURES=1 the actual text is written next to it as
// <name>.actual, for review and a readable diff.
inline void ExpectEngineFixture(const std::string& actual, const std::string& name) {
    if (const char* write = std::getenv("MIVO_WRITE_REPORT_FIXTURES"); write && *write == '1')
        std::ofstream(EngineFixturePath(name) + ".actual", std::ios::binary) << actual;
    const std::string expected = ReadEngineFixture(name);
    // Small pages show their differences line by line; a long report only
    // says where to look.
    if (actual.size() < 8192 && expected.size() < 8192) {
        EXPECT_EQ(actual, expected) << "fixture " << name;
    } else {
        EXPECT_TRUE(actual == expected) << "output differs from fixture " << name
                                        << " (MIVO_WRITE_REPORT_FIXTURES=1 writes " << name << ".actual)";
    }
}

}  // namespace mivo::testing
