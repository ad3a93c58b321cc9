// Sets the program-wide XML header line for one write and restores the
// previous one on every path, errors included.
#pragma once

#include <string>
#include <string_view>

#include "model/Xml.h"

namespace mivo {

class TXmlHeaderScope {
public:
    explicit TXmlHeaderScope(std::string_view header) : saved_(XmlHeader) { XmlHeader = std::string(header); }
    ~TXmlHeaderScope() { XmlHeader = saved_; }
    TXmlHeaderScope(const TXmlHeaderScope&) = delete;
    TXmlHeaderScope& operator=(const TXmlHeaderScope&) = delete;

private:
    std::string saved_;
};

}  // namespace mivo
