// Sets the program-wide XML header line (and with it the UTF-8 switch) for
// one read or write, and restores both on every path, errors included.
#pragma once

#include <string>
#include <string_view>

#include "model/Xml.h"

namespace mivo {

// For the lifetime of the scope `XmlHeader` is `header` and `XmlUtf8` is on
// exactly when that is the UTF-8 header, as a writer with that header sets
// it; afterwards both are what they were before.
class TXmlHeaderScope {
public:
    explicit TXmlHeaderScope(std::string_view header) : saved_header_(XmlHeader), saved_utf8_(XmlUtf8) {
        XmlHeader = std::string(header);
        XmlUtf8 = header == XmlUtf8Header;
    }
    ~TXmlHeaderScope() {
        XmlHeader = saved_header_;
        XmlUtf8 = saved_utf8_;
    }
    TXmlHeaderScope(const TXmlHeaderScope&) = delete;
    TXmlHeaderScope& operator=(const TXmlHeaderScope&) = delete;

private:
    std::string saved_header_;
    bool saved_utf8_;
};

}  // namespace mivo
