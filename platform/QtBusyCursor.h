// The hourglass: a scoped override cursor, restored on every path.
#pragma once

namespace mivo {

class TBusyCursor {
public:
    TBusyCursor();
    ~TBusyCursor();
    TBusyCursor(const TBusyCursor&) = delete;
    TBusyCursor& operator=(const TBusyCursor&) = delete;
};

}  // namespace mivo
