// The least a Qt program does to answer ZELM-2's weight request: a
// QSerialPort on a pseudo-terminal that writes the 20-byte frame for every
// request it reads, nothing else. The benchmark weighs the emulator's CPU
// per request against it.
//   plain_responder SLAVE_PATH

#include <QCoreApplication>
#include <QSerialPort>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: plain_responder SLAVE_PATH (a pseudo-terminal)\n");
        return 2;
    }
    QSerialPort port(QString::fromLocal8Bit(argv[1]));
    if (!port.open(QIODevice::ReadWrite)) {
        std::fprintf(stderr, "plain_responder: %s\n", qPrintable(port.errorString()));
        return 1;
    }
    static const char frame[20] = {0, 0, 0, 0, 0, 0, 4, 2, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0x0D, 0x0A};
    QObject::connect(&port, &QSerialPort::readyRead, [&port] {
        for (const char request : port.readAll())
            if (request == 0x0A)
                port.write(frame, sizeof frame);
        port.flush();
    });
    return app.exec();
}
