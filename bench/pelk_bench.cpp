// Pelk import of files in which many attributes share one name: finding a
// parent by name and an option value's attribute must stay close to linear
// in the number of elements, whatever order the elements come in.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "model/MivoModel.h"
#include "model/Pelk.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

std::string Attribute(const std::string& name, const std::string& parent) {
    std::string text = "<ATTRIBUTE><NAME>" + name + "</NAME>";
    if (!parent.empty()) text += "<PARENT>" + parent + "</PARENT>";
    return text + "</ATTRIBUTE>";
}

void Import(const char* label, int n, const std::vector<std::string>& lines) {
    auto start = Clock::now();
    mivo::TMivoModel model;
    mivo::ImportPelkLines(model, lines, "bench.xml");
    std::printf("%8d %-46s %.3fs\n", n, label, Seconds(start));
}

// n top attributes "X", then n pairs: a top "W" and a "V" whose parent "X"
// is not on the path of the attribute before, so it is looked up by name.
void Parents(int n) {
    std::vector<std::string> lines{"<MODEL>"};
    for (int i = 0; i < n; ++i) lines.push_back(Attribute("X", ""));
    for (int i = 0; i < n; ++i) {
        lines.push_back(Attribute("W", ""));
        lines.push_back(Attribute("V", "X"));
    }
    lines.push_back("</MODEL>");
    Import("parents named like many others", n, lines);
}

// n times an attribute "X" followed by an option with a value for "X".
void InterleavedOptions(int n) {
    std::vector<std::string> lines{"<MODEL>"};
    for (int i = 0; i < n; ++i) {
        lines.push_back(Attribute("X", ""));
        lines.push_back("<OPTION><NAME>o</NAME><OPTIONVALUE><ATTRIBUTE>X</ATTRIBUTE><VALUE>*</VALUE>"
                        "</OPTIONVALUE></OPTION>");
    }
    lines.push_back("</MODEL>");
    Import("attributes and options interleaved", n, lines);
}

}  // namespace

int main() {
    for (int n : {20000, 100000}) {
        Parents(n);
        InterleavedOptions(n);
    }
    return 0;
}
