// The Qt clipboard: text and pictures (the offscreen platform keeps a
// clipboard inside the process).
#include <gtest/gtest.h>

#ifdef MIVO_HAVE_QT_PLATFORM

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

#include "platform/QtClipboard.h"

namespace mivo {
namespace {

std::string PngBytes(int width, int height) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

TEST(QtClipboard, TextTravelsAsUtf8) {
    TQtClipboard clipboard;
    const std::string text = "A\tČ\u0161\u017e\r\nb\t\u00fc";
    clipboard.SetText(text);
    EXPECT_EQ(clipboard.GetText(), text);
    clipboard.SetText("");
    EXPECT_EQ(clipboard.GetText(), "");
}

TEST(QtClipboard, PictureIsTheMetafileUnderBothTypesAndThePngAsImage) {
    TQtClipboard clipboard;
    const std::string emf("\x01\x00\x00\x00 EMF\0bytes", 15);
    ASSERT_TRUE(clipboard.SetPicture(emf, PngBytes(30, 20)));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->data(EmfMimeType).toStdString(), emf);
    EXPECT_EQ(data->data(EmfMimeTypeAlias).toStdString(), emf);
    ASSERT_TRUE(data->hasImage());
    const QImage image = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(image.size(), QSize(30, 20));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::red));
}

TEST(QtClipboard, PictureWithoutUsableDataLeavesTheClipboardAlone) {
    TQtClipboard clipboard;
    clipboard.SetText("kept");
    EXPECT_FALSE(clipboard.SetPicture("", ""));
    EXPECT_FALSE(clipboard.SetPicture("", "not a png"));
    EXPECT_EQ(clipboard.GetText(), "kept");
    // The metafile goes even when the PNG bytes are broken.
    ASSERT_TRUE(clipboard.SetPicture("EMF", "not a png"));
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    EXPECT_EQ(data->data(EmfMimeType), "EMF");
    EXPECT_FALSE(data->hasImage());
}

TEST(QtClipboard, ImageSetterReplacesTheContents) {
    TQtClipboard clipboard;
    clipboard.SetText("gone");
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Qt::blue);
    clipboard.SetImage(image);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(4, 3));
    EXPECT_EQ(clipboard.GetText(), "");
}

}  // namespace
}  // namespace mivo

#endif  // MIVO_HAVE_QT_PLATFORM
