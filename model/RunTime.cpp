#include "model/RunTime.h"

namespace mivo {

void AssertionFailed(const std::string& message, const char* file, int line) {
    std::string name = file ? file : "";
    auto slash = name.find_last_of('/');
    if (slash != std::string::npos) name.erase(0, slash + 1);
    throw EAssertionFailed(Format("%s (%s, line %d)", message, name, line));
}

}  // namespace mivo
