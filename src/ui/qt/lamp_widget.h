#pragma once

#include <QWidget>

#include "base/controls.h"

namespace dravilo {

// A small filled circle: the port indicator, the row indicators, the send lamp.
class LampWidget : public QWidget {
public:
    explicit LampWidget(QWidget* parent = nullptr);
    void setColour(Colour colour);
    QSize sizeHint() const override { return {16, 16}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Colour colour_ = 0;
};

}  // namespace dravilo
