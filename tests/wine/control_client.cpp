// A client of the control channel's named pipe, for the checks of the
// Windows binary under Wine (a Linux program cannot open a Windows pipe).
//   control_client NAME LINE...   prints the answer to each line, one a line

#include <QCoreApplication>
#include <QLocalSocket>
#include <QThread>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments().mid(1);
    if (arguments.isEmpty()) {
        std::fprintf(stderr, "usage: control_client NAME LINE...\n");
        return 2;
    }
    QLocalSocket control;
    // The emulator opens its channel once it is up: tries for up to 30 s.
    for (int i = 0; i < 300 && control.state() != QLocalSocket::ConnectedState; ++i) {
        control.connectToServer(arguments[0]);
        if (!control.waitForConnected(100))
            QThread::msleep(100);
    }
    if (control.state() != QLocalSocket::ConnectedState) {
        std::fprintf(stderr, "no control channel %s: %s\n", qPrintable(arguments[0]), qPrintable(control.errorString()));
        return 1;
    }
    for (const QString& line : arguments.mid(1)) {
        control.write(line.toUtf8() + "\n");
        control.waitForBytesWritten(5000);
        while (!control.canReadLine() && control.waitForReadyRead(10000)) {
        }
        if (!control.canReadLine()) {
            std::fprintf(stderr, "no answer to %s\n", qPrintable(line));
            return 1;
        }
        std::fputs(control.readLine().constData(), stdout);
    }
    return 0;
}
