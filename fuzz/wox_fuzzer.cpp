// needs: model/Wox.h
// The Wox record reader on arbitrary lines: every record is read and every
// item taken apart as the import does (code, text, number).
#include "fuzz/FuzzInput.h"
#include "model/Wox.h"

using namespace mivo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = fuzz::Lines(fuzz::AsText(data, size));
    fuzz::Guarded([&] {
        TWoxParser parser(lines);
        while (parser.NextRecord()) {
            IsTextSection(parser.Section());
            for (int i = 0; i <= parser.ItemCount(); ++i) {
                parser.ItemCode(i);
                parser.ItemText(i);
                fuzz::Guarded([&] { parser.ItemInt(i); });
            }
        }
    });
    return 0;
}
