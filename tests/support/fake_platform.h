#pragma once

#include <QMap>
#include <QStringList>

#include "app/platform.h"

namespace dravilo::test {

constexpr Colour kTestBackground = 0xF0F0F0;

class FakePlatform : public Platform {
public:
    int beeps = 0;
    QStringList messages;
    QChar separator = u'.';
    QMap<QString, QString> env;

    void beep() override { ++beeps; }
    void messageBox(const QString& text) override { messages << text; }
    QChar decimalSeparator() const override { return separator; }
    QString environment(const QString& name) const override { return env.value(name); }
    Colour windowBackground() const override { return kTestBackground; }
};

}  // namespace dravilo::test
