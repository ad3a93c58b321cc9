// The slider of one input in the weights dialog: 0..100, a page of 10, a
// tick above every 10, and a marker below the groove at the input's
// current weight (the weight the rules give it), next to the handle that
// the user moves to the required weight.
#pragma once

#include <QSlider>

namespace mivo {

class TWeightSlider : public QSlider {
    Q_OBJECT
public:
    explicit TWeightSlider(QWidget* parent = nullptr);

    // The marked value, held within 0..100; -1 removes the marker.
    void SetMarker(int value);
    int Marker() const { return marker_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int marker_ = -1;
};

}  // namespace mivo
