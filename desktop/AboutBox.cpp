#include "desktop/AboutBox.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "desktop/Memo.h"
#include "model/RunTime.h"

namespace mivo {

std::string VersionText(int major, int minor) { return Format("%d.%.2d", major, minor); }

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Mivo"));
    auto* layout = new QVBoxLayout(this);
    auto* panel = new QFrame(this);
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, Qt::white);
    panel->setPalette(palette);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* inner = new QVBoxLayout(panel);
    ProductName = new QLabel(QStringLiteral("Mivo"), panel);
    ProductName->setStyleSheet(QStringLiteral("color: navy; font-weight: bold; font-size: 20pt;"));
    Version = new QLabel(QStringLiteral("Version ") + QString::fromStdString(VersionText(MajorVersion, MinorVersion)),
                         panel);
    Version->setStyleSheet(QStringLiteral("color: navy;"));
    Version->setAlignment(Qt::AlignRight);
    Description = new QLabel(QStringLiteral("Program for multiattribute decision making"), panel);
    auto* credits = new TMemo(panel);
    credits->setReadOnly(true);
    credits->setFrameShape(QFrame::NoFrame);
    credits->setPlainText(QStringLiteral("Qualitative multi-attribute decision models: attribute trees, "
                                         "value scales, decision tables, option evaluation and reports."));
    credits->setMaximumHeight(60);
    inner->addWidget(ProductName);
    inner->addWidget(Version);
    inner->addWidget(Description);
    inner->addWidget(credits);
    layout->addWidget(panel);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(1); });
    layout->addWidget(buttons);
    setFixedSize(sizeHint());
}

}  // namespace mivo
