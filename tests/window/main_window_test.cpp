// The window over the core: what the models hold shows in the widgets, and a
// person's clicks and typing reach the models and run their events.

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

#include "app/control_commands.h"
#include "app/traffic_decoding.h"
#include "test_program.h"
#include "ui/qt/lamp_widget.h"
#include "ui/qt/main_window.h"

namespace dravilo::test {
namespace {

class WindowTest : public testing::Test {
protected:
    WindowTest()
    {
        t.started();
        window.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    template <class Widget>
    Widget* widget(const void* control)
    {
        auto* w = qobject_cast<Widget*>(window.widgetOf(control));
        EXPECT_NE(w, nullptr);
        return w;
    }

    // The colour painted at the middle of a lamp.
    QColor lampColour(const Shape& lamp)
    {
        QWidget* w = window.widgetOf(&lamp);
        return w->grab().toImage().pixelColor(w->width() / 2, w->height() / 2);
    }

    // Check and option boxes react where their box is drawn, at the left.
    static void clickBox(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(6, w->height() / 2)); }

    TestProgram t;
    int closes = 0;
    MainWindow window{t.program, [this] { ++closes; }};
    Form1& f = t.form;
};

TEST_F(WindowTest, ModelChangesShowInTheirWidgets)
{
    f.Label6.setCaption(QStringLiteral("Loads"));
    EXPECT_EQ(widget<QLabel>(&f.Label6)->text(), QStringLiteral("Loads"));
    f.Frame5.setCaption(QStringLiteral("Sway"));
    EXPECT_EQ(widget<QGroupBox>(&f.Frame5)->title(), QStringLiteral("Sway"));

    f.Text1[2].setText(QStringLiteral("7"));
    EXPECT_EQ(widget<QLineEdit>(&f.Text1[2])->text(), QStringLiteral("7"));
    EXPECT_TRUE(widget<QLineEdit>(&f.Text5)->isReadOnly());
    EXPECT_FALSE(widget<QLineEdit>(&f.Text9[0])->isReadOnly());

    f.Check1[2].setValue(1);
    EXPECT_TRUE(widget<QCheckBox>(&f.Check1[2])->isChecked());
    EXPECT_FALSE(widget<QCheckBox>(&f.Check1[6])->isEnabled());

    f.Label25.setVisible(false);
    EXPECT_TRUE(window.widgetOf(&f.Label25)->isHidden());
    f.Label25.setVisible(true);
    EXPECT_FALSE(window.widgetOf(&f.Label25)->isHidden());

    f.Shape2[0].setFillColour(kGreen);
    EXPECT_EQ(lampColour(f.Shape2[0]), QColor::fromRgb(kGreen));
    f.Shape2[0].setFillColour(kRed);
    EXPECT_EQ(lampColour(f.Shape2[0]), QColor::fromRgb(kRed));
}

TEST_F(WindowTest, FrameViewsKeepControlBytes)
{
    // A frame's text view holds bytes below the space; the field must show the same text.
    const QString frame = QString::fromLatin1(QByteArray("\x02" "12\x00\r\n", 6));
    f.Text3.setText(frame);
    EXPECT_EQ(widget<QLineEdit>(&f.Text3)->text(), frame);
}

TEST_F(WindowTest, WeightButtonPutsItsRowOnTheDisplay)
{
    QTest::mouseClick(widget<QPushButton>(&f.Command2), Qt::LeftButton);
    EXPECT_EQ(f.Text5.text(), f.Text2[1].text());
    EXPECT_EQ(widget<QLineEdit>(&f.Text5)->text(), f.Text2[1].text());
    EXPECT_EQ(lampColour(f.Shape2[1]), QColor::fromRgb(kGreen));
    EXPECT_EQ(lampColour(f.Shape2[2]), QColor::fromRgb(kRed));

    QTest::mouseClick(widget<QPushButton>(&f.Command3), Qt::LeftButton);
    EXPECT_EQ(widget<QLineEdit>(&f.Text5)->text(), f.Text2[2].text());
}

TEST_F(WindowTest, TypingASetWeightReformatsItsRow)
{
    QLineEdit* edit = widget<QLineEdit>(&f.Text9[0]);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("12.5"));
    EXPECT_EQ(f.Text9[0].text(), QStringLiteral("12.5"));
    EXPECT_EQ(f.Text2[0].text(), QStringLiteral("00012.5"));
    EXPECT_EQ(widget<QLineEdit>(&f.Text2[0])->text(), QStringLiteral("00012.5"));
    EXPECT_EQ(edit->cursorPosition(), 4);  // the cursor stays where the person typed
}

TEST_F(WindowTest, PickingAWeightFormatRunsItsClick)
{
    QComboBox* combo = widget<QComboBox>(&f.Combo2);
    ASSERT_EQ(combo->count(), 4);
    ASSERT_EQ(combo->currentIndex(), 1);
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(f.Combo2.listIndex(), 2);
    EXPECT_EQ(f.Text2[0].text(), QStringLiteral("0011.10"));
    EXPECT_EQ(widget<QLineEdit>(&f.Text2[0])->text(), QStringLiteral("0011.10"));
}

TEST_F(WindowTest, TerminalTypeFollowsTheOptionButtons)
{
    QRadioButton* zelm2 = widget<QRadioButton>(&f.Option1[0]);
    QRadioButton* zelm1 = widget<QRadioButton>(&f.Option1[1]);
    ASSERT_TRUE(zelm2->isChecked());

    clickBox(zelm1);
    EXPECT_EQ(t.settings.intTerminalType, 1);
    EXPECT_TRUE(zelm1->isChecked());
    EXPECT_FALSE(zelm2->isChecked());
    EXPECT_TRUE(window.widgetOf(&f.Frame7)->isHidden());
    EXPECT_TRUE(window.widgetOf(&f.Text8)->isHidden());

    // Clicking the selected button again leaves it selected.
    clickBox(zelm1);
    EXPECT_TRUE(zelm1->isChecked());
    EXPECT_EQ(t.settings.intTerminalType, 1);

    clickBox(zelm2);
    EXPECT_EQ(t.settings.intTerminalType, 0);
    EXPECT_FALSE(window.widgetOf(&f.Frame7)->isHidden());
}

TEST_F(WindowTest, StatusBoxClickReachesItsPanel)
{
    clickBox(widget<QCheckBox>(&f.Check1[0]));
    EXPECT_EQ(f.Check1[0].value(), 1);
    EXPECT_EQ(widget<QLabel>(&f.Label27)->text(), f.Label27.caption());
    EXPECT_TRUE(f.Label27.caption().startsWith(QStringLiteral("S1=1")));

    clickBox(widget<QCheckBox>(&f.Check1[0]));
    EXPECT_EQ(f.Check1[0].value(), 0);
}

TEST_F(WindowTest, ClosingTheWindowRunsShutdown)
{
    window.close();
    EXPECT_EQ(closes, 1);
}

TEST_F(WindowTest, MenuCommandsRunTheirModels)
{
    window.actionOf(f.mnu_Setting)->trigger();
    EXPECT_FALSE(window.widgetOf(&f.Basis_Frame1)->isHidden());
    EXPECT_EQ(widget<QLineEdit>(&f.Basis_Text1)->text(), t.settings.strResultsFolder);
    window.actionOf(f.mnu_Setting)->trigger();
    EXPECT_TRUE(window.widgetOf(&f.Basis_Frame1)->isHidden());

    window.actionOf(f.mnu_Exit)->trigger();
    EXPECT_EQ(t.platform.ended, 1);
    EXPECT_EQ(closes, 0) << "Exit ends the program without the window's close handling";
}

TEST_F(WindowTest, LanguageMenuRenamesTheMenusAndTheTitle)
{
    struct Case {
        MenuItem* command;
        const char16_t *file, *setting, *language;
    };
    const Case cases[] = {{&f.mnu_rus, u"Меню", u"Настройка", u"Язык"}, {&f.mnu_eng, u"Menu", u"Setting", u"Language"}};
    QStringList titles;
    for (const Case& c : cases) {
        window.actionOf(*c.command)->trigger();
        EXPECT_EQ(widget<QMenu>(&f.mnu_File)->title(), QString::fromUtf16(c.file));
        EXPECT_EQ(window.actionOf(f.mnu_Setting)->text(), QString::fromUtf16(c.setting));
        EXPECT_EQ(widget<QMenu>(&f.mnu_lanq)->title(), QString::fromUtf16(c.language));
        EXPECT_EQ(window.windowTitle(), f.Caption.caption());
        titles << window.windowTitle();
    }
    EXPECT_NE(titles[0], titles[1]);
}

TEST_F(WindowTest, PortListTakesTypingQuietlyAndAPickAsAClick)
{
    QComboBox* rate = widget<QComboBox>(&f.Combo1[1]);
    ASSERT_TRUE(rate->isEditable());
    EXPECT_EQ(rate->currentText(), QStringLiteral("9600"));
    const int entries = rate->count();

    // Typing an entry's text, even to its end and Return, is no pick; nor
    // does the list complete it or keep it as an entry.
    for (const QString& typed : {QStringLiteral("1920"), QStringLiteral("19200"), QStringLiteral("777")}) {
        rate->lineEdit()->selectAll();
        QTest::keyClicks(rate->lineEdit(), typed);
        QTest::keyClick(rate->lineEdit(), Qt::Key_Return);
        EXPECT_EQ(f.Combo1[1].text(), typed);
        EXPECT_EQ(rate->currentText(), typed);
        EXPECT_FALSE(f.Timer2.enabled()) << typed.toStdString();
        EXPECT_EQ(rate->count(), entries) << typed.toStdString();
    }

    QTest::keyClick(rate, Qt::Key_Down);
    ASSERT_GE(f.Combo1[1].listIndex(), 0);
    EXPECT_EQ(f.Combo1[1].text(), f.Combo1[1].items()[f.Combo1[1].listIndex()]);
    EXPECT_EQ(rate->currentText(), f.Combo1[1].text());
    EXPECT_TRUE(f.Timer2.enabled()) << "the pick closes the port and arms the re-configuration";
}

TEST_F(WindowTest, CycleCounterShowsOnlyWhileCyclesRun)
{
    QLabel* counter = widget<QLabel>(&f.Label22);
    EXPECT_TRUE(counter->isHidden());
    clickBox(widget<QCheckBox>(&f.Check2));
    EXPECT_FALSE(counter->isHidden());
    t.clock.advance(10'000);
    EXPECT_NE(counter->text(), QStringLiteral("0"));
    EXPECT_EQ(counter->text(), f.Label22.caption());
    clickBox(widget<QCheckBox>(&f.Check2));
    EXPECT_TRUE(counter->isHidden());
}

// The traffic panel's table is the panel's rows under captions that follow
// the language, and keeps the newest row in sight.
TEST_F(WindowTest, TrafficTableShowsTheRowsNewestInSight)
{
    window.actionOf(f.mnu_Traffic)->trigger();
    auto* table = window.widgetOf(&f.Traffic_Frame1)->findChild<QTableView*>();
    ASSERT_NE(table, nullptr);
    for (int i = 0; i < 50; ++i)
        t.port.receive(bytes({0x0E}));
    const int rows = int(t.program.traffic.events().size());
    EXPECT_TRUE(QTest::qWaitFor([&] { return table->model()->rowCount() == rows; }, 1000));
    EXPECT_EQ(table->model()->index(rows - 1, 4).data().toString(),
              TrafficWhat(t.program.traffic.events().back(), t.settings.intLanguage));
    EXPECT_EQ(table->rowAt(table->viewport()->height() - 2), rows - 1);
    for (MenuItem* language : {&f.mnu_rus, &f.mnu_eng}) {
        language->click();
        EXPECT_EQ(table->model()->headerData(4, Qt::Horizontal).toString(), f.Traffic_Label1[4].caption());
    }
}

// A laptop's 1366×768 less the desktop's panel, in both languages and both
// terminal types, with every panel shown: no text cut, no column moving.
TEST_F(WindowTest, FitsALaptopScreenWithEveryPanelShown)
{
    f.mnu_Setting.click();
    f.mnu_Traffic.click();
    const auto columns = [this] {
        std::vector<int> x;
        for (const Label* heading : {&f.Label6, &f.Label8, &f.Label14})
            x.push_back(window.widgetOf(heading)->mapTo(&window, QPoint()).x());
        return x;
    };
    for (MenuItem* language : {&f.mnu_rus, &f.mnu_eng}) {
        language->click();
        std::vector<std::vector<int>> columnsAt;
        for (OptionButton& type : f.Option1) {
            type.setValue(true);
            QCoreApplication::processEvents();
            const QSize least = window.minimumSizeHint();
            EXPECT_LE(least.width(), 1366) << language->caption().toStdString();
            EXPECT_LE(least.height(), 740) << language->caption().toStdString();
            window.resize(least);
            QCoreApplication::processEvents();
            for (QWidget* w : window.findChildren<QWidget*>()) {
                const bool text = qobject_cast<QLabel*>(w) || qobject_cast<QAbstractButton*>(w);
                if (text && w->isVisibleTo(&window)) {
                    EXPECT_GE(w->width(), w->minimumSizeHint().width()) << w->metaObject()->className();
                }
            }
            for (ComboBox& list : f.Combo1) {
                const QComboBox* shown = widget<QComboBox>(&list);
                for (const QString& item : list.items()) {
                    EXPECT_GE(shown->lineEdit()->width(), shown->fontMetrics().horizontalAdvance(item))
                        << item.toStdString();
                }
            }
            window.resize(1366, 740);
            QCoreApplication::processEvents();
            columnsAt.push_back(columns());
        }
        EXPECT_EQ(columnsAt[0], columnsAt[1]) << "the columns moved when the terminal type changed";
    }
}

// The traffic panel at 1366×740 with every panel shown, in both languages,
// while a host sends every kind of request and a fault is on: at least
// eight rows in sight, every byte of a frame up to 32 bytes, and the window
// still fits; the splitter keeps where the person left it.
TEST_F(WindowTest, TrafficPanelHasRoomToRead)
{
    f.mnu_Setting.click();
    window.resize(1366, 740);
    QCoreApplication::processEvents();
    f.mnu_Traffic.click();
    auto* table = window.widgetOf(&f.Traffic_Frame1)->findChild<QTableView*>();
    ASSERT_NE(table, nullptr);
    const auto command = [this](const QString& line) {
        RunControlCommand(t.program, t.line, line,
                          [line](const QString& a) { EXPECT_EQ(a, "ok") << line.toStdString(); });
    };
    command("send " + QByteArray(33, 'A').toHex(' '));  // more than a column shows whole
    command("fault corrupt rate 50%");
    for (const QByteArray& request : {bytes({0x0A}), bytes({0x0B, 4, 2, 0, 1, 0, 0}), bytes({0x0C}), bytes({0x0D}),
                                      bytes({0x0E}), bytes({0x0A}), QByteArray("A")})
        t.port.receive(request);
    command("fault off");
    command("send " + QByteArray(32, 'B').toHex(' '));
    t.port.receive(bytes({0x0A}));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return table->model()->rowCount() == int(t.program.traffic.events().size()); }, 1000));
    for (MenuItem* language : {&f.mnu_rus, &f.mnu_eng}) {
        language->click();
        QCoreApplication::processEvents();
        const std::string name = language->caption().toStdString();
        EXPECT_LE(window.minimumSizeHint().width(), 1366) << name;
        EXPECT_LE(window.minimumSizeHint().height(), 740) << name;
        EXPECT_GE(table->viewport()->height() / table->rowHeight(0), 8) << name << ": whole rows in sight";
        // The rows in sight are of 32 bytes or fewer: the style needs no more room for any than it has.
        QStyleOptionViewItem option;
        option.initFrom(table);
        option.font = table->font();
        option.widget = table;
        int inSight = 0;
        for (int row = table->rowAt(0); row >= 0 && row <= table->rowAt(table->viewport()->height() - 1); ++row) {
            ++inSight;
            for (TrafficField bytesShown : {TrafficField::Hex, TrafficField::Text}) {
                const QModelIndex cell = table->model()->index(row, int(bytesShown));
                const int needed = table->itemDelegateForIndex(cell)->sizeHint(option, cell).width();
                EXPECT_GE(table->columnWidth(cell.column()), needed)
                    << name << " " << cell.data().toString().toStdString();
            }
        }
        EXPECT_GE(inSight, 8) << name << ": rows checked";
    }

    QSplitter* splitter = window.findChild<QSplitter*>();
    ASSERT_NE(splitter, nullptr);
    splitter->setSizes({300, splitter->height() - 300});
    emit splitter->splitterMoved(300, 1);
    const QList<int> dragged = splitter->sizes();
    f.mnu_Traffic.click();
    f.mnu_Traffic.click();
    QCoreApplication::processEvents();
    EXPECT_EQ(splitter->sizes(), dragged) << "the panel comes back as the person left it";
}

TEST(WindowLifetime, ModelsChangedAfterTheWindowWentTouchNothing)
{
    TestProgram t;
    t.started();
    Form1& f = t.form;
    int closes = 0;
    {
        MainWindow window(t.program, [&closes] { ++closes; });
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    EXPECT_EQ(closes, 0) << "destroying the window is no close";
    for (const Control* model : std::initializer_list<const Control*>{&f.Caption, &f.mnu_File, &f.mnu_Exit, &f.Label6,
                                                                      &f.Combo1[0], &f.Shape1, &f.Basis_Frame1})
        EXPECT_FALSE(model->viewChanged);

    // Each of these would reach a widget of the destroyed window.
    f.mnu_rus.click();
    f.mnu_Setting.click();
    f.Check2.setValue(1);
    f.Combo1[0].setText(QStringLiteral("3"));
    f.Text9[0].setText(QStringLiteral("5"));
    f.Shape1.setFillColour(kGreen);
}

}  // namespace
}  // namespace dravilo::test
