// A host's Telnet stream, any bytes in any pieces: the codec gives the same
// data and answers whether the stream comes whole or cut up, never more data
// than came in, answers that stay in proportion, and the terminal's own bytes
// back unchanged through its escaping.

#include <QByteArray>
#include <cstdint>
#include <cstdlib>

#include "host/telnet_com_port.h"

using namespace dravilo;

namespace {

void require(bool holds)
{
    if (!holds)
        std::abort();
}

struct Outcome {
    QByteArray data, answer;
};

Outcome decodeInPieces(const QByteArray& stream, std::uint8_t cut)
{
    TelnetComPort codec{LineSettings{}};
    Outcome out;
    const qsizetype piece = cut == 0 ? stream.size() + 1 : cut;
    for (qsizetype at = 0; at < stream.size(); at += piece) {
        const TelnetComPort::Decoded d = codec.decode(stream.mid(at, piece));
        if (d.purgeSent)  // the port drops what the terminal has not read yet
            out.data.clear();
        out.data += d.data;
        out.answer += d.answer;
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size < 1)
        return 0;
    const std::uint8_t cut = bytes[0];
    const QByteArray stream(reinterpret_cast<const char*>(bytes + 1), qsizetype(size - 1));

    const Outcome whole = decodeInPieces(stream, 0);
    const Outcome pieces = decodeInPieces(stream, cut);
    require(whole.data == pieces.data && whole.answer == pieces.answer);
    require(whole.data.size() <= stream.size());
    // Each command the host sends earns at most one short answer.
    require(whole.answer.size() <= 16 * stream.size() + 64);

    // What the terminal sends reaches the host's reader as it was.
    TelnetComPort codec{LineSettings{}};
    require(codec.decode(TelnetComPort::encode(stream)).data == stream);
    return 0;
}
