#include "desktop/PageFactory.h"
#include "desktop/TreePage.h"

namespace mivo {

// The Model page: the attribute tree and its commands.
std::unique_ptr<TPage> MakeModelPage(TModelForm& form) { return std::make_unique<TTreePage>(form); }

}  // namespace mivo
