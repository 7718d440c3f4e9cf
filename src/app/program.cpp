#include "app/program.h"

#include "terminal/number_text.h"

namespace dravilo {

Program::Program(SerialPort& port, Platform& services) : MSComm1(port), platform(services)
{
    form.Shape3.setFillColour(platform.windowBackground());
    RouteEvents(*this);
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
