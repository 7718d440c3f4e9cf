#pragma once

// The emulator's control socket (--control PATH), as the benchmark and the
// soak drive it: one command, one answer line.

#include <chrono>
#include <stdexcept>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

#include "bench.h"

namespace dravilo::test {

class ControlSocket {
public:
    explicit ControlSocket(const std::string& path)
    {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        path.copy(address.sun_path, sizeof address.sun_path - 1);
        for (int i = 0; i < 200; ++i) {  // the emulator listens once it is up
            ThrowIfStopped();
            fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
            if (::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
                return;
            ::close(fd_);
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        throw std::runtime_error("no control socket at " + path);
    }
    ~ControlSocket() { ::close(fd_); }
    ControlSocket(const ControlSocket&) = delete;
    ControlSocket& operator=(const ControlSocket&) = delete;

    std::string command(const std::string& line)
    {
        const std::string sent = line + "\n";
        if (::write(fd_, sent.data(), sent.size()) != ssize_t(sent.size()))
            throw std::runtime_error("the control socket is gone");
        std::string answer;
        char c;
        while (::read(fd_, &c, 1) == 1 && c != '\n')
            answer += c;
        return answer;
    }

private:
    int fd_ = -1;
};

}  // namespace dravilo::test
