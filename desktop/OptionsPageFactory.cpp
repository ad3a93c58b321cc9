#include "desktop/OptionsPage.h"
#include "desktop/PageFactory.h"

namespace mivo {

std::unique_ptr<TPage> MakeOptionsPage(TModelForm& form) { return std::make_unique<TOptionsPage>(form); }

}  // namespace mivo
