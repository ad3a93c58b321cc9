#include "desktop/EvalPage.h"
#include "desktop/PageFactory.h"

namespace mivo {

std::unique_ptr<TPage> MakeEvaluationPage(TModelForm& form) { return std::make_unique<TEvalPage>(form); }

}  // namespace mivo
