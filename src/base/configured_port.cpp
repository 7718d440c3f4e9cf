#include "base/configured_port.h"

#include <algorithm>

namespace dravilo {

namespace {

constexpr qsizetype kReceiveBufferSize = 65536;

}  // namespace

PortResult ConfiguredPort::setCommPort(int number)
{
    if (settingsLocked())
        return NotWhileOpen();
    if (!IsPortNumber(number))
        return {QStringLiteral("Invalid port number")};
    number_ = number;
    return {};
}

PortResult ConfiguredPort::setSettings(const QString& text)
{
    if (settingsLocked())
        return NotWhileOpen();
    const std::optional<LineSettings> parsed = ParseLineSettings(text);
    if (!parsed)
        return InvalidSetting(text);
    settings_ = *parsed;
    settingsText_ = settings_.text();
    return {};
}

void ConfiguredPort::keepArrived(QByteArray& received, const char* bytes, qsizetype count)
{
    received.append(bytes, std::min(count, std::max<qsizetype>(0, kReceiveBufferSize - received.size())));
}

}  // namespace dravilo
