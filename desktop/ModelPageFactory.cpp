#include <QTreeWidget>

#include "desktop/FramePage.h"
#include "desktop/ModelForm.h"
#include "desktop/PageFactory.h"

namespace mivo {

// The Model page as a plain frame: the window's attribute tree below the
// tool bar.
std::unique_ptr<TPage> MakeModelPage(TModelForm& form) {
    auto page = std::make_unique<TFramePage>(form, TModelPage::Model, QStringLiteral("&Model"), TUndoKind::Model);
    page->SetContent(form.ModTreeView());
    return page;
}

}  // namespace mivo
