#include "platform/QtClipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include <memory>

#include "platform/QtApplication.h"

namespace mivo {
namespace {

QByteArray Bytes(const std::string& data) { return QByteArray(data.data(), static_cast<qsizetype>(data.size())); }

}  // namespace

TQtClipboard::TQtClipboard() { EnsureGuiApplication(); }

std::string TQtClipboard::GetText() const { return QGuiApplication::clipboard()->text().toStdString(); }

void TQtClipboard::SetText(const std::string& text) {
    QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

bool TQtClipboard::SetPicture(const std::string& emf, const std::string& png) {
    auto data = std::make_unique<QMimeData>();
    bool any = false;
    if (!emf.empty()) {
        data->setData(QString::fromLatin1(EmfMimeType), Bytes(emf));
        data->setData(QString::fromLatin1(EmfMimeTypeAlias), Bytes(emf));
        any = true;
    }
    if (!png.empty()) {
        QImage image;
        if (image.loadFromData(Bytes(png), "PNG")) {
            data->setImageData(image);
            any = true;
        }
    }
    if (!any) return false;
    QGuiApplication::clipboard()->setMimeData(data.release());  // the clipboard owns it from here
    return true;
}

void TQtClipboard::SetImage(const QImage& image) { QGuiApplication::clipboard()->setImage(image); }

}  // namespace mivo
