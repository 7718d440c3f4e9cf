#pragma once

// A pseudo-terminal for a host on the other end of the emulator's line: the
// test or benchmark holds the master; the emulator opens the slave by path.

#include <QByteArray>
#include <QString>
#include <functional>

namespace dravilo::test {

class PtyPair {
public:
    PtyPair();  // both ends raw, so nothing is echoed or translated
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const QString& slavePath() const { return slavePath_; }
    int masterFd() const { return master_; }
    int slaveFd() const { return slave_; }

    void write(const QByteArray& bytes);
    // Up to n bytes, waiting at most timeoutMs; `idle` runs between polls
    // (an in-process emulator needs its event loop turned meanwhile).
    QByteArray read(int n, int timeoutMs, const std::function<void()>& idle = {});
    // Everything that arrives within ms.
    QByteArray readFor(int ms, const std::function<void()>& idle = {});
    void closeMaster();

private:
    int master_ = -1;
    int slave_ = -1;
    QString slavePath_;
};

// "<folder>/Dravilo v.2.00/ports/COM<n>" made to point at the slave.
void LinkPort(const QString& programFiles, int number, const PtyPair& pty);

}  // namespace dravilo::test
