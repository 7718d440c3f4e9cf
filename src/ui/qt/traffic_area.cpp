#include <QAbstractTableModel>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "app/traffic_decoding.h"
#include "app/traffic_panel.h"
#include "program/program.h"
#include "ui/qt/window_areas.h"

namespace dravilo {

namespace {

// The panel's rows shown as a table: each cell is written when it is
// painted, in the window's language, so ten thousand rows cost no more than
// the few on the screen. A row's tooltip opens it: every byte and what it means.
class TrafficTable : public QAbstractTableModel {
public:
    TrafficTable(Program& p, Bindings& b, QObject* parent) : QAbstractTableModel(parent), program_(p)
    {
        for (int i = 0; i < kTrafficFields; ++i)
            b.bindCaption(p.form.Traffic_Label1[std::size_t(i)], this, [this, i](const QString& caption) {
                captions_[std::size_t(i)] = caption;
                emit headerDataChanged(Qt::Horizontal, i, i);
            });
    }

    int rowCount(const QModelIndex& parent) const override
    {
        return parent.isValid() ? 0 : int(program_.trafficRows.shownCount());
    }
    int columnCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : kTrafficFields; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        const TrafficEvent& row = program_.trafficRows.shown(std::size_t(index.row()));
        const std::int16_t language = program_.settings.intLanguage;
        if (role == Qt::DisplayRole)
            return TrafficFieldOf(row, TrafficField(index.column()), language);
        if (role == Qt::ToolTipRole)  // in a fixed pitch, where HEX lines up byte for byte
            return QStringLiteral("<pre>%1</pre>").arg(TrafficDetails(row, language).toHtmlEscaped());
        return {};
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
    Program& program_;
    std::array<QString, kTrafficFields> captions_;
};

// Bytes elided in the middle, where a long read's count of all its bytes
// stays in sight at the end.
class MiddleElided : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->textElideMode = Qt::ElideMiddle;
    }
};

// The table, brought up to date four times a second while it is on the
// screen, and never while it is not: a redraw of its rows of text takes about
// 2 ms, and a request that comes meanwhile waits for it, so a fast line meets
// such a wait at one reply in a hundred at most. It follows the newest row
// unless a person scrolled away.
// The HEX and text columns are as wide as the longest row shown needs, up
// to 32 bytes; "what it is" has the rest.
class TrafficView : public QTableView {
public:
    static constexpr int kRowsAtLeast = 8;   // seen at once by default
    static constexpr int kWidestBytes = 32;  // shown whole; more are elided in the middle

    TrafficView(Program& p, Bindings& b, QWidget* parent) : QTableView(parent), program_(p)
    {
        table_ = new TrafficTable(p, b, this);
        setModel(table_);
        setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
        setWordWrap(false);
        setSelectionBehavior(QAbstractItemView::SelectRows);
        for (TrafficField bytes : {TrafficField::Hex, TrafficField::Text})
            setItemDelegateForColumn(int(bytes), new MiddleElided(this));
        verticalHeader()->hide();
        verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
        horizontalHeader()->setStretchLastSection(true);
        fitColumns();
        // Another language has other words, and its captions may need more room.
        connect(table_, &QAbstractItemModel::headerDataChanged, this, [this] {
            fitColumns();
            viewport()->update();
        });
        setMinimumHeight(rowsHeight(3));
        QScrollBar* bar = verticalScrollBar();
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, bar] { following_ = bar->sliderPosition() >= bar->maximum(); });
        connect(bar, &QAbstractSlider::rangeChanged, this, [this] {
            if (following_)
                scrollToBottom();
        });
        redraw_.setInterval(250);
        connect(&redraw_, &QTimer::timeout, this, [this] { refresh(); });
    }

    QSize sizeHint() const override { return {QTableView::sizeHint().width(), rowsHeight(kRowsAtLeast)}; }

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
    // The header and so many rows, with a horizontal scroll bar should the window be narrow.
    int rowsHeight(int rows) const
    {
        return horizontalHeader()->sizeHint().height() + rows * verticalHeader()->defaultSectionSize() +
               horizontalScrollBar()->sizeHint().height() + 2 * frameWidth();
    }

    // Room for `text` in a cell as the style lays it out, the grid line included.
    int cellWidth(const QString& text) const
    {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        option.features |= QStyleOptionViewItem::HasDisplay;
        option.text = text;
        const QSize cell = style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this);
        return cell.width() + (showGrid() ? 1 : 0);
    }

    void fitColumn(TrafficField field, const QString& widest)
    {
        const int column = int(field);
        horizontalHeader()->resizeSection(
            column, std::max(cellWidth(widest), horizontalHeader()->sectionSizeHint(column)));
    }

    void fitColumns()
    {
        const std::int16_t language = program_.settings.intLanguage;
        fitColumn(TrafficField::Time, QStringLiteral("00:00:00.000"));
        QString direction;
        for (TrafficDirection d : {TrafficDirection::FromHost, TrafficDirection::ToHost, TrafficDirection::Program}) {
            const QString words = TrafficFieldOf({.direction = d}, TrafficField::Direction, language);
            if (fontMetrics().horizontalAdvance(words) > fontMetrics().horizontalAdvance(direction))
                direction = words;
        }
        fitColumn(TrafficField::Direction, direction);
        fittedBytes_ = int(std::min<qsizetype>(program_.trafficRows.longestShown(), kWidestBytes));
        const QChar hexDigit = widest(QStringLiteral("0123456789ABCDEF"));
        fitColumn(TrafficField::Hex, QString(std::max(0, fittedBytes_ * 3 - 1), hexDigit));
        fitColumn(TrafficField::Text, QString(fittedBytes_, widest(TrafficText(printable()))));
    }

    // Of the characters, the one that takes the most room: where the fixed
    // pitch font is missing, no text of them is wider than so many of it.
    QChar widest(const QString& characters) const
    {
        return *std::max_element(characters.begin(), characters.end(), [this](QChar a, QChar b) {
            return fontMetrics().horizontalAdvance(a) < fontMetrics().horizontalAdvance(b);
        });
    }
    static QByteArray printable()
    {
        QByteArray all;
        for (char c = 0x20; c < 0x7F; ++c)
            all += c;
        return all;
    }

    void refresh()
    {
        if (!RefreshTrafficPanel(program_))
            return;
        if (std::min<qsizetype>(program_.trafficRows.longestShown(), kWidestBytes) != fittedBytes_)
            fitColumns();
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

    Program& program_;
    TrafficTable* table_;
    int fittedBytes_ = -1;  // the bytes the HEX and text columns are wide enough for
    bool following_ = true;  // the newest row stays in sight until a person scrolls away
    QTimer redraw_;
};

// Which rows, a text to find, pause, clear and save; then bytes to send by hand.
QHBoxLayout* toolRow(Form1& f, Bindings& b, QWidget* parent)
{
    auto* row = new QHBoxLayout;
    row->addWidget(b.make<QLabel>(f.Traffic_Label2, parent));
    auto* shows = b.make<QComboBox>(f.Traffic_Combo1, parent);
    shows->setSizeAdjustPolicy(QComboBox::AdjustToContents);  // its entries change with the language
    row->addWidget(shows);
    row->addSpacing(8);
    row->addWidget(b.make<QLabel>(f.Traffic_Label3, parent));
    row->addWidget(b.make<QLineEdit>(f.Traffic_Text1, parent), 1);
    row->addWidget(b.make<QCheckBox>(f.Traffic_Check1, parent));
    row->addWidget(b.make<QPushButton>(f.Traffic_Command1, parent));
    row->addWidget(b.make<QPushButton>(f.Traffic_Command2, parent));
    row->addSpacing(16);
    row->addWidget(b.make<QLabel>(f.Traffic_Label4, parent));
    auto* hex = b.make<QLineEdit>(f.Traffic_Text2, parent);
    hex->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    row->addWidget(hex, 1);
    auto* send = b.make<QPushButton>(f.Traffic_Command3, parent);
    QObject::connect(hex, &QLineEdit::returnPressed, send, &QPushButton::click);
    row->addWidget(send);
    return row;
}

}  // namespace

QWidget* TrafficPanel(Program& p, Bindings& b)
{
    Form1& f = p.form;
    auto* frame = b.make<QGroupBox>(f.Traffic_Frame1, nullptr);
    auto* column = new QVBoxLayout(frame);
    column->addLayout(toolRow(f, b, frame));
    column->addWidget(new TrafficView(p, b, frame), 1);
    return frame;
}

}  // namespace dravilo
