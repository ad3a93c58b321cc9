#include "platform/QtFontSource.h"

#include <QFont>
#include <QFontMetrics>
#include <QString>

#include "platform/QtApplication.h"

namespace mivo {

QFont ToQFont(const TCanvasFont& font) {
    QFont q(QString::fromStdString(font.Name));
    q.setPixelSize(font.PixelHeight() > 0 ? font.PixelHeight() : 1);
    q.setBold((font.Style & fsBold) != 0);
    q.setItalic((font.Style & fsItalic) != 0);
    q.setUnderline((font.Style & fsUnderline) != 0);
    q.setStrikeOut((font.Style & TCanvasFont::StrikeOut) != 0);
    q.setHintingPreference(QFont::PreferNoHinting);
    q.setKerning(false);
    return q;
}

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string FromQString(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

TQtFontSource::TQtFontSource() { EnsureGuiApplication(); }

TQtFontSource::~TQtFontSource() = default;

const QFontMetrics& TQtFontSource::Metrics(const TCanvasFont& font) {
    if (!cached_metrics_ || cached_font_ != font) {
        cached_metrics_ = std::make_unique<QFontMetrics>(ToQFont(font));
        cached_font_ = font;
    }
    return *cached_metrics_;
}

std::int32_t TQtFontSource::TextWidth(const TCanvasFont& font, std::string_view text) {
    if (text.empty()) return 0;
    return Metrics(font).horizontalAdvance(ToQString(text));
}

std::int32_t TQtFontSource::TextHeight(const TCanvasFont& font, std::string_view) { return Metrics(font).height(); }

std::int32_t TQtFontSource::Ascent(const TCanvasFont& font) { return Metrics(font).ascent(); }

}  // namespace mivo
