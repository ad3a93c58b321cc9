#include "desktop/ChartsPage.h"
#include "desktop/PageFactory.h"

namespace mivo {

std::unique_ptr<TPage> MakeChartsPage(TModelForm& form) { return std::make_unique<TChartsPage>(form); }

}  // namespace mivo
