// The four-chart panel as a bitmap, and copying it to the clipboard.
#pragma once

#include <QImage>

#include "model/Clipboard.h"
#include "platform/Prompts.h"

namespace mivo {

class TFourChartPanel;

// An image of the panel's size, filled with the panel's background, with
// the four charts painted in their quarters. A null image when the panel
// has no area or the image cannot be made.
QImage PanelToBitmap(const TFourChartPanel& panel);

// Puts the panel's bitmap on the clipboard (as PNG). An empty panel or a
// failure shows a message and leaves the clipboard as it was; returns
// whether the panel was copied.
bool CopyFourCharts(const TFourChartPanel& panel, TClipboard& clipboard, TPrompts& prompts);

}  // namespace mivo
