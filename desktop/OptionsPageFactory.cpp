#include <QWidget>

#include "desktop/FramePage.h"
#include "desktop/PageFactory.h"

namespace mivo {

// The Options page as a plain frame until the page is built.
std::unique_ptr<TPage> MakeOptionsPage(TModelForm& form) {
    auto page = std::make_unique<TFramePage>(form, TModelPage::Options, QStringLiteral("&Options"), TUndoKind::Options, DefaultPageMenuGroup);
    page->SetContent(new QWidget);
    return page;
}

}  // namespace mivo
