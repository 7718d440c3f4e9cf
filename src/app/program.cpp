#include "app/program.h"

#include "terminal/number_text.h"

namespace dravilo {

Program::Program(SerialPort& port, Platform& services)
    : line(port, [this] { return platform.elapsedMs(); }), MSComm1(line), platform(services)
{
    form.Shape3.setFillColour(platform.windowBackground());
    RouteEvents(*this);
}

std::array<Timer*, 6> Program::timers()
{
    const std::array<Timer*, 5> window = form.timers();
    return {window[0], window[1], window[2], window[3], window[4], &line.delayTimer};
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
