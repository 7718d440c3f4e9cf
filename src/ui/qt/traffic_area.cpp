#include <QAbstractTableModel>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/traffic_panel.h"
#include "program/program.h"
#include "ui/qt/window_areas.h"

namespace dravilo {

namespace {

// The panel's rows as a table: each cell is written when it is painted, so
// ten thousand rows cost no more than the few on the screen.
class TrafficTable : public QAbstractTableModel {
public:
    TrafficTable(const TrafficRows& rows, std::array<Label, kTrafficFields>& headers, Bindings& b, QObject* parent)
        : QAbstractTableModel(parent), rows_(rows)
    {
        for (int i = 0; i < kTrafficFields; ++i)
            b.bindCaption(headers[std::size_t(i)], this, [this, i](const QString& caption) {
                captions_[std::size_t(i)] = caption;
                emit headerDataChanged(Qt::Horizontal, i, i);
            });
    }

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : int(rows_.rows().size()); }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kTrafficFields; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return TrafficFieldOf(rows_.rows()[std::size_t(index.row())], TrafficField(index.column()));
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kTrafficFields)
            return {};
        return captions_[std::size_t(section)];
    }

    // The rows changed under the view all at once.
    void refreshed()
    {
        beginResetModel();
        endResetModel();
    }

private:
    const TrafficRows& rows_;
    std::array<QString, kTrafficFields> captions_;
};

// The table, brought up to date a few dozen times a second while it is on
// the screen, and never while it is not: a fast line costs the window no
// more than that. It follows the newest row unless a person scrolled away.
class TrafficView : public QTableView {
public:
    TrafficView(Program& p, Bindings& b, QWidget* parent) : QTableView(parent), program_(p)
    {
        table_ = new TrafficTable(p.trafficRows, p.form.Traffic_Label1, b, this);
        setModel(table_);
        setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        setWordWrap(false);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        verticalHeader()->hide();
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
        QHeaderView* header = horizontalHeader();
        header->setStretchLastSection(true);
        for (int i = 0; i < int(std::size(kWidths)); ++i)
            fitColumn(i);
        // A caption in another language may need more room than the column has.
        connect(table_, &QAbstractItemModel::headerDataChanged, this, [this](Qt::Orientation, int first, int last) {
            for (int i = first; i <= last && i < int(std::size(kWidths)); ++i)
                fitColumn(i);
        });
        setMinimumHeight(header->sizeHint().height() + 3 * verticalHeader()->defaultSectionSize());
        QScrollBar* bar = verticalScrollBar();
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, bar] { following_ = bar->sliderPosition() >= bar->maximum(); });
        connect(bar, &QAbstractSlider::rangeChanged, this, [this] {
            if (following_)
                scrollToBottom();
        });
        redraw_.setInterval(40);
        connect(&redraw_, &QTimer::timeout, this, [this] { refresh(); });
    }

protected:
    void showEvent(QShowEvent* event) override
    {
        QTableView::showEvent(event);
        refresh();
        redraw_.start();
    }
    void hideEvent(QHideEvent* event) override
    {
        redraw_.stop();
        QTableView::hideEvent(event);
    }

private:
    void fitColumn(int i)
    {
        const int digits = kWidths[i] * fontMetrics().horizontalAdvance(u'0');
        horizontalHeader()->resizeSection(i, std::max(digits, horizontalHeader()->sectionSizeHint(i)));
    }

    void refresh()
    {
        if (!RefreshTrafficPanel(program_))
            return;
        QScrollBar* bar = verticalScrollBar();
        const int at = bar->value();
        const bool following = following_;
        table_->refreshed();  // which moves the scroll bar to the top
        updateGeometries();
        following_ = following;
        if (following_)
            scrollToBottom();
        else
            bar->setValue(at);
    }

    // Column widths in digits: time, direction, HEX, text; the rest is the last one's.
    static constexpr int kWidths[] = {14, 11, 40, 22};

    Program& program_;
    TrafficTable* table_;
    bool following_ = true;  // the newest row stays in sight until a person scrolls away
    QTimer redraw_;
};

}  // namespace

QWidget* TrafficPanel(Program& p, Bindings& b)
{
    Form1& f = p.form;
    auto* frame = b.make<QGroupBox>(f.Traffic_Frame1, nullptr);
    auto* row = new QHBoxLayout(frame);
    row->addWidget(new TrafficView(p, b, frame), 1);
    auto* buttons = new QVBoxLayout;
    row->addLayout(buttons);
    buttons->addWidget(b.make<QCheckBox>(f.Traffic_Check1, frame));
    buttons->addWidget(b.make<QPushButton>(f.Traffic_Command1, frame));
    buttons->addWidget(b.make<QPushButton>(f.Traffic_Command2, frame));
    buttons->addStretch();
    return frame;
}

}  // namespace dravilo
