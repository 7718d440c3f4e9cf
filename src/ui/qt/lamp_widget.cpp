#include "ui/qt/lamp_widget.h"

#include <QPainter>

namespace dravilo {

LampWidget::LampWidget(QWidget* parent) : QWidget(parent) { setFixedSize(16, 16); }

void LampWidget::setColour(Colour colour)
{
    if (colour_ == colour)
        return;
    colour_ = colour;
    update();
}

void LampWidget::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(QColor::fromRgb(colour_));
    painter.drawEllipse(QRectF(1.5, 1.5, width() - 3, height() - 3));
}

}  // namespace dravilo
