#include "host/script_stream.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include "host/headless_platform.h"
#include "host/owned_paths.h"
#include "host/stdio_stream.h"

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace dravilo {

namespace {

// A scenario is a page of commands; a file far beyond that is no scenario.
constexpr qint64 kLongestScript = 1 << 20;

QString notAFile(const QString& path)
{
    return QStringLiteral("%1 is no file of commands (a script is read from a regular file; for commands "
                          "from a pipe or a terminal use --control -)")
        .arg(path);
}

// The file opened for reading, only when it is a regular file: a FIFO with
// no writer or a terminal would hold the start, and a stop signal with it.
bool openRegularFile(const QString& path, QFile& file, QString& error)
{
#ifdef Q_OS_UNIX
    // Opened without waiting, then looked at: what is there now is what is read.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    struct stat st {};
    if (fd < 0 || ::fstat(fd, &st) != 0) {
        error = QStringLiteral("%1: %2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        if (fd >= 0)
            ::close(fd);
        return false;
    }
    if (!S_ISREG(st.st_mode) || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = notAFile(path);
        return false;
    }
    return true;
#else
    const QFileInfo info(path);
    if (info.exists() && !info.isFile()) {
        error = notAFile(path);
        return false;
    }
    file.setFileName(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
#endif
}

}  // namespace

std::unique_ptr<ScriptStream> ScriptStream::open(const QString& path, QString& error)
{
    error = PlantedLink(path);
    if (!error.isEmpty())
        return nullptr;
    QFile file;
    if (!openRegularFile(path, file, error))
        return nullptr;
    // Read to the bound, not to the end: the file may be growing.
    const QByteArray script = file.read(kLongestScript + 1);
    if (script.size() > kLongestScript) {
        error = QStringLiteral("%1: longer than %2 bytes").arg(path).arg(kLongestScript);
        return nullptr;
    }
    const QList<QByteArray> lines = script.split('\n');
    QByteArray commands;
    std::deque<int> numbers;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray command = lines[i].trimmed();
        if (command.isEmpty() || command.startsWith('#'))
            continue;
        commands += command + '\n';
        numbers.push_back(int(i + 1));
    }
    return std::unique_ptr<ScriptStream>(new ScriptStream(std::move(commands), std::move(numbers)));
}

ScriptStream::ScriptStream(QByteArray commands, std::deque<int> lineNumbers)
    : unread_(std::move(commands)), lineNumbers_(std::move(lineNumbers)), out_(MakeStdioStream(false))
{
    out_->changed = [this] {
        if (changed)
            changed();
    };
}

QByteArray ScriptStream::read(qint64 most)
{
    const QByteArray piece = unread_.left(most);
    unread_.remove(0, piece.size());
    return piece;
}

void ScriptStream::setReading(bool on)
{
    // The file is all there: what is left is read from the event loop's next turn.
    if (on && !unread_.isEmpty())
        QTimer::singleShot(0, &lifetime_, [this] {
            if (changed)
                changed();
        });
}

void ScriptStream::write(const QByteArray& bytes)
{
    // Every command read gets one answer, in order.
    const int number = lineNumbers_.empty() ? 0 : lineNumbers_.front();
    if (!lineNumbers_.empty())
        lineNumbers_.pop_front();
    if (out_->broken()) {
        // The script runs to its end, whoever reads its answers.
        if (!saidBroken_)
            Say(QStringLiteral("the script's answers cannot be written to standard output; the script goes on"));
        saidBroken_ = true;
        return;
    }
    out_->write(QByteArray::number(number) + ": " + bytes);
}

}  // namespace dravilo
