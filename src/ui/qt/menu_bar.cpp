#include "ui/qt/window_areas.h"

namespace dravilo {

namespace {

// A menu of the bar with its commands, bound to their models.
void addMenu(QMenuBar* bar, MenuItem& menuModel, std::initializer_list<MenuItem*> commands, Bindings& b)
{
    auto* menu = new QMenu(bar);
    bar->addMenu(menu);
    b.bind(menuModel, menu);
    for (MenuItem* command : commands)
        b.bind(*command, menu->addAction(QString()));
}

}  // namespace

void FillMenuBar(QMenuBar* bar, Form1& f, Bindings& b)
{
    addMenu(bar, f.mnu_File, {&f.mnu_Exit}, b);
    b.bind(f.mnu_Setting, bar->addAction(QString()));
    b.bind(f.mnu_Traffic, bar->addAction(QString()));
    addMenu(bar, f.mnu_lanq, {&f.mnu_rus, &f.mnu_eng}, b);
}

}  // namespace dravilo
