// The result codes of our modal dialogs, as TPrompts::Exec returns them.
#pragma once

namespace mivo {

inline constexpr int DialogOk = 1;
inline constexpr int DialogCancel = 2;

}  // namespace mivo
