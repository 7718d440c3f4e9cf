#include "base/line_settings.h"

#include <QStringList>

namespace dravilo {

namespace {

std::optional<int> positive(const QString& field)
{
    bool ok = false;
    const int value = field.trimmed().toInt(&ok);
    if (!ok || value < 1)
        return std::nullopt;
    return value;
}

}  // namespace

QString LineSettings::text() const
{
    return QStringLiteral("%1,%2,%3,%4").arg(baudRate).arg(parity).arg(dataBits).arg(stopBits);
}

QString UartFraming::text() const
{
    const QString stop = stopHalves == 3 ? QStringLiteral("1.5") : QString::number(stopHalves / 2);
    return QStringLiteral("%1,%2,%3,%4").arg(rate).arg(parity).arg(dataBits).arg(stop);
}

UartFraming FramingOf(const LineSettings& settings)
{
    return {settings.baudRate, settings.dataBits, settings.parity, 2 * settings.stopBits};
}

std::optional<LineSettings> ParseLineSettings(const QString& text)
{
    const QStringList fields = text.split(u',');
    if (fields.size() != 4)
        return std::nullopt;
    const auto rate = positive(fields[0]);
    const QString parity = fields[1].trimmed().toLower();
    const auto data = positive(fields[2]);
    const auto stop = positive(fields[3]);
    if (!rate || parity.size() != 1 || !QStringLiteral("neosm").contains(parity[0]) || !data ||
        *data < 5 || *data > 8 || !stop || *stop > 2)
        return std::nullopt;
    return LineSettings{*rate, parity[0], *data, *stop};
}

}  // namespace dravilo
