// The least a Qt program does to send the ZELM-1 line: a precise QTimer
// writing the 13 bytes to a pseudo-terminal, nothing else. The benchmark
// weighs the emulator's CPU against it.
//   plain_sender SLAVE_PATH PERIOD_MS

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int fd = argc == 3 ? ::open(argv[1], O_WRONLY | O_NOCTTY) : -1;
    if (fd < 0) {
        std::fprintf(stderr, "usage: plain_sender SLAVE_PATH PERIOD_MS (an openable pseudo-terminal)\n");
        return 2;
    }
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, [fd] {
        if (::write(fd, "WW00000.0kg\r\n", 13) != 13)
            QCoreApplication::exit(1);
    });
    timer.start(std::atoi(argv[2]));
    return app.exec();
}
