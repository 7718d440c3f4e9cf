#pragma once

// Xvfb on a display it picks itself, for the cases that weigh the window:
// Qt's offscreen platform never shows it nor draws the traffic panel, so
// only a real X server does.

#include <QProcess>
#include <QString>

namespace dravilo::test {

class XServer : public QProcess {
public:
    explicit XServer(const QString& program);
    ~XServer() override;

    const QString& display() const { return display_; }
    // The environment for an emulator to show its window there.
    QProcessEnvironment environmentFor(const QProcess& emulator) const;

private:
    void stop();

    QString display_;
};

}  // namespace dravilo::test
