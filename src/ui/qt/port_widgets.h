#pragma once

// Two widgets of the port panel.

#include <QComboBox>
#include <QLabel>
#include <functional>

namespace dravilo {

// One line of text, cut with "…" where it does not fit, the whole of it as
// the tooltip: a long path or reason never makes the panel taller or wider.
class ElidedLabel : public QLabel {
public:
    using QLabel::QLabel;
    void setFullText(const QString& text)
    {
        full_ = text;
        setToolTip(text);
        elide();
    }
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        QLabel::resizeEvent(event);
        elide();
    }

private:
    void elide() { setText(fontMetrics().elidedText(full_, Qt::ElideMiddle, width())); }

    QString full_;
};

// A list that tells as a person opens it, before its entries show, so that
// they can be filled anew (the devices present change while the program runs).
class DropDownList : public QComboBox {
public:
    using QComboBox::QComboBox;
    std::function<void()> aboutToDrop;
    void showPopup() override
    {
        if (aboutToDrop)
            aboutToDrop();
        QComboBox::showPopup();
    }
};

}  // namespace dravilo
