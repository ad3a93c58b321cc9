#include <QWidget>

#include "desktop/FramePage.h"
#include "desktop/PageFactory.h"

namespace mivo {

// The Charts page as a plain frame until the page is built.
std::unique_ptr<TPage> MakeChartsPage(TModelForm& form) {
    auto page = std::make_unique<TFramePage>(form, TModelPage::Charts, QStringLiteral("&Chart"), TUndoKind::None, 14);
    page->SetContent(new QWidget);
    return page;
}

}  // namespace mivo
