// The XML reader on arbitrary lines. A document it accepts is written back
// and must read again: the system saves what it has read (models, undo
// snapshots), and a saved file that cannot be opened is lost work.
#include <cstdio>
#include <cstdlib>

#include "fuzz/FuzzInput.h"
#include "model/Xml.h"

using namespace mivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = fuzz::Lines(fuzz::AsText(data, size));
    XmlHeader = std::string(XmlUtf8Header);
    TXmlItem root;
    try {
        root.LoadFromStrings(lines);
    } catch (const EAssertionFailed& e) {
        std::fprintf(stderr, "assertion failed on input: %s\n", e.Message().c_str());
        std::abort();
    } catch (const Exception&) {
        return 0;
    }
    if (root.Name.empty()) return 0;  // no element in the input

    // What was read is written in the document's own encoding.
    if (!XmlUtf8) XmlHeader = std::string(XmlPlainHeader);
    std::vector<std::string> written;
    root.SaveToStrings(written);
    TXmlItem again;
    try {
        again.LoadFromStrings(written);
    } catch (const Exception& e) {
        std::fprintf(stderr, "written document does not read back: %s\n", e.Message().c_str());
        std::abort();
    }
    XmlHeader = std::string(XmlUtf8Header);
    return 0;
}
