// Comparing a rendered image with a reviewed one, for the Qt tests.
//
// Font rasterisers differ slightly between machines, so two images match
// when few pixels differ clearly: a pixel differs when one of its channels
// is more than `channelTolerance` apart. With MIVO_UPDATE_IMAGES set in the
// environment the rendered image replaces the reviewed one (review it
// before committing).
#pragma once

#include <cstdlib>
#include <string>

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

namespace mivo::testing {

inline ::testing::AssertionResult MatchesReviewedImage(const QImage& actual, const std::string& reviewedPath,
                                                       double maxDifferentFraction = 0.01,
                                                       int channelTolerance = 64) {
    QString path = QString::fromStdString(reviewedPath);
    if (std::getenv("MIVO_UPDATE_IMAGES")) {
        if (!actual.save(path, "PNG")) return ::testing::AssertionFailure() << "cannot write " << reviewedPath;
        return ::testing::AssertionSuccess() << "updated " << reviewedPath;
    }
    QImage reviewed(path);
    if (reviewed.isNull()) return ::testing::AssertionFailure() << "no reviewed image " << reviewedPath;
    if (reviewed.size() != actual.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height() << " instead of "
                                             << reviewed.width() << "x" << reviewed.height();
    QImage a = actual.convertToFormat(QImage::Format_RGB32);
    QImage r = reviewed.convertToFormat(QImage::Format_RGB32);
    long differing = 0, inked = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            QColor p = a.pixelColor(x, y), q = r.pixelColor(x, y);
            if (q != QColor(Qt::white)) ++inked;
            if (std::abs(p.red() - q.red()) > channelTolerance || std::abs(p.green() - q.green()) > channelTolerance ||
                std::abs(p.blue() - q.blue()) > channelTolerance)
                ++differing;
        }
    }
    double fraction = static_cast<double>(differing) / (static_cast<double>(a.width()) * a.height());
    if (inked == 0) return ::testing::AssertionFailure() << "the reviewed image is blank";
    if (fraction > maxDifferentFraction)
        return ::testing::AssertionFailure() << differing << " pixels differ (" << fraction * 100 << "%)";
    return ::testing::AssertionSuccess();
}

}  // namespace mivo::testing
