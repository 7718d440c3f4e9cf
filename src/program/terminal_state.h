#pragma once

// What the emulated terminal holds between events. The persisted values
// (type, send period, sway amplitude and count) live in the settings record.

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace dravilo {

struct TerminalState {
    double dblWeight = 0;
    double dblBaseWeight = 0;  // centre of the sway, set by the weight buttons
    QString strWeightFormat = QStringLiteral("00000.0");
    std::uint8_t bytS1 = 0;
    std::uint8_t bytS2 = 0;
    QString strPriceFormat;
    std::int16_t intPriceDivisor = 0;
    double dblPrice = 0;
    double dblCost = 0;
    std::int16_t intMode = 0;  // 0 weight-price-cost, 1 piece counting, 2 totalizing
    std::int32_t lngWeighCount = 0;
    double dblTotalWeight = 0;

    std::int16_t intSwayLeft = 0;
    std::int16_t intSwayUp = 0;  // 0: next step adds, 1: subtracts

    QByteArray strFrame;  // the last frame built

    std::int32_t lngCycleTick = 0;  // seconds of the weighing cycle since its last action

    // A price setting that still waits for digits.
    QString strPriceDigits;  // newest character first
    std::int16_t intPriceEntry = 0;
};

}  // namespace dravilo
