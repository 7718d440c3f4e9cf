#include "program/program.h"

#include "base/number_text.h"

namespace dravilo {

Program::Program(SerialPort& port, Platform& services)
    : MSComm1(port), platform(services), waits([&services] { return services.elapsedMs(); })
{
    form.Shape3.setFillColour(platform.windowBackground());
}

void Program::showPriceAndCost(double price, double cost)
{
    form.Text8.setText(format(price, state.strPriceFormat));
    form.Text10.setText(format(cost, state.strPriceFormat));
}

void Program::record(TrafficDirection direction, const QByteArray& bytes, const QString& what)
{
    traffic.record({.time = platform.timeOfDay(), .direction = direction, .bytes = bytes, .words = what});
}

QString Program::format(double value, const QString& pattern) const
{
    return Format(value, pattern, platform.decimalSeparator());
}

double Program::value(const QString& text) const { return ValueOfText(text, platform.decimalSeparator()); }

void Program::reportOnce(const QString& failure, const QString& text)
{
    if (reported_.contains(failure))
        return;
    reported_.insert(failure);
    platform.messageBox(text);
}

}  // namespace dravilo
