// For screenshots under Xvfb, which runs without a window manager: nothing
// draws a window's title bar, so the screenshot gets a plain one.
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QString>

namespace mivo {

// The shot with a title bar showing `title` above it.
inline QPixmap WithTitleBar(const QPixmap& shot, const QString& title) {
    const int height = 28;
    QPixmap framed(shot.width(), shot.height() + height);
    framed.fill(QColor(0x2b, 0x4f, 0x81));
    QPainter painter(&framed);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(QRect(10, 0, shot.width() - 20, height), Qt::AlignVCenter | Qt::AlignLeft, title);
    painter.drawPixmap(0, height, shot);
    return framed;
}

}  // namespace mivo
