#include "platform/QtBitmap.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QPainter>

#include "model/RunTime.h"
#include "model/SafeFile.h"
#include "platform/QtApplication.h"
#include "platform/QtCanvas.h"

namespace mivo {

QImage RenderMetafile(const TPageMetafile& page, std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1) throw ERangeError();
    EnsureGuiApplication();
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) throw Exception(Format("Cannot create a bitmap of %d x %d pixels", width, height));
    image.fill(Qt::white);
    QPainter painter(&image);
    TQtCanvas canvas(&painter);
    canvas.StretchDraw({0, 0, width, height}, page);
    painter.end();
    return image;
}

void SaveMetafileBitmap(const TPageMetafile& page, std::int32_t width, std::int32_t height,
                        const std::string& fileName) {
    QImage image = RenderMetafile(page, width, height);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "BMP")) throw EFileError(Format("Cannot write bitmap \"%s\"", fileName));
    WriteFileAtomic(fileName, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

}  // namespace mivo
