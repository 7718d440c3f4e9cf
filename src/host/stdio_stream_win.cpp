#include "host/stdio_stream.h"

#include <QObject>
#include <QPointer>
#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <qt_windows.h>

namespace dravilo {

namespace {

// What may wait on either side: beyond it input is read no more until taken,
// and answers are not written until the reader takes some.
constexpr qsizetype kMostWaiting = 65536;

// Windows waits on neither a pipe nor a console without a thread of its
// own: one thread reads standard input, one writes standard output, each
// handing bytes over through a bounded buffer; the event loop only takes
// and gives.
class StdioStream : public ControlStream {
public:
    explicit StdioStream(bool reads) : reads_(reads)
    {
        if (reads_)
            reader_ = CreateThread(nullptr, 0, &StdioStream::readLoop, this, 0, nullptr);
        writer_ = CreateThread(nullptr, 0, &StdioStream::writeLoop, this, 0, nullptr);
    }

    ~StdioStream() override
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        moved_.notify_all();
        for (HANDLE thread : {reader_, writer_}) {
            if (!thread)
                continue;
            CancelSynchronousIo(thread);  // a ReadFile or WriteFile that waits ends now
            WaitForSingleObject(thread, 2000);
            CloseHandle(thread);
        }
    }

    QByteArray read(qint64 most) override
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        const QByteArray piece = inbox_.left(most);
        inbox_.remove(0, piece.size());
        moved_.notify_all();
        return piece;
    }
    bool inputEnded() const override
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return !reads_ || (inputOver_ && inbox_.isEmpty());
    }
    void setReading(bool on) override
    {
        reading_ = on;
        if (on)
            tell();  // what came meanwhile
    }
    void write(const QByteArray& bytes) override
    {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (broken_)
                return;
            outbox_ += bytes;
        }
        moved_.notify_all();
    }
    qint64 unsent() const override
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return outbox_.size();
    }
    bool broken() const override
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        return broken_;
    }

private:
    // On the event loop, once it runs again.
    void tell()
    {
        QMetaObject::invokeMethod(&lifetime_, [this] {
            if (reading_ && changed)
                changed();
        }, Qt::QueuedConnection);
    }

    static DWORD WINAPI readLoop(void* self)
    {
        auto* stream = static_cast<StdioStream*>(self);
        const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
        char buffer[4096];
        for (;;) {
            {
                std::unique_lock<std::mutex> lock(stream->mutex_);
                stream->moved_.wait(lock, [stream] { return stream->stopping_ || stream->inbox_.size() < kMostWaiting; });
                if (stream->stopping_)
                    return 0;
            }
            DWORD n = 0;
            const bool ok = ReadFile(in, buffer, sizeof buffer, &n, nullptr);
            {
                const std::lock_guard<std::mutex> lock(stream->mutex_);
                if (!ok || n == 0)
                    stream->inputOver_ = true;
                else
                    stream->inbox_.append(buffer, qsizetype(n));
            }
            stream->tell();
            if (!ok || n == 0)
                return 0;
        }
    }

    static DWORD WINAPI writeLoop(void* self)
    {
        auto* stream = static_cast<StdioStream*>(self);
        const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
        for (;;) {
            QByteArray bytes;
            {
                std::unique_lock<std::mutex> lock(stream->mutex_);
                stream->moved_.wait(lock, [stream] { return stream->stopping_ || !stream->outbox_.isEmpty(); });
                if (stream->stopping_)
                    return 0;
                bytes = stream->outbox_.left(kMostWaiting);
            }
            DWORD n = 0;
            const bool ok = WriteFile(out, bytes.constData(), DWORD(bytes.size()), &n, nullptr);
            {
                const std::lock_guard<std::mutex> lock(stream->mutex_);
                if (ok)
                    stream->outbox_.remove(0, qsizetype(n));
                else {
                    stream->broken_ = true;  // the reader has gone
                    stream->outbox_.clear();
                }
            }
            stream->tell();
            if (!ok)
                return 0;
        }
    }

    const bool reads_;
    mutable std::mutex mutex_;
    std::condition_variable moved_;  // bytes were taken or given, or the stream ends
    QByteArray inbox_;
    QByteArray outbox_;
    bool inputOver_ = false;
    bool broken_ = false;
    bool stopping_ = false;
    bool reading_ = false;
    HANDLE reader_ = nullptr;
    HANDLE writer_ = nullptr;
    QObject lifetime_;  // a call queued for the stream ends with it
};

}  // namespace

std::unique_ptr<ControlStream> MakeStdioStream(bool reads) { return std::make_unique<StdioStream>(reads); }

}  // namespace dravilo
