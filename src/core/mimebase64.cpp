#include "mimebase64.h"

#include <array>

namespace Mime {

namespace {

constexpr unsigned char invalid = 0xFF;
constexpr unsigned char padding = 0xFE;

constexpr std::array<unsigned char, 256> makeRanks()
{
    std::array<unsigned char, 256> ranks{};
    for (auto& rank : ranks)
        rank = invalid;
    const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    for (int i = 0; i < 64; ++i)
        ranks[static_cast<unsigned char>(alphabet[i])] = static_cast<unsigned char>(i);
    ranks['='] = padding;
    return ranks;
}

constexpr std::array<unsigned char, 256> ranks = makeRanks();

} // namespace

QByteArray decodeBase64(QByteArrayView encoded)
{
    QByteArray decoded(encoded.size() / 4 * 3 + 3, Qt::Uninitialized);
    auto* out = reinterpret_cast<unsigned char*>(decoded.data());
    const auto* in = reinterpret_cast<const unsigned char*>(encoded.data());
    const auto* end = in + encoded.size();
    quint32 bits = 0;
    int held = 0;

    const auto flush = [&] {
        if (held >= 2)
            *out++ = static_cast<unsigned char>(bits >> (held * 6 - 8));
        if (held >= 3)
            *out++ = static_cast<unsigned char>(bits >> (held * 6 - 16));
        bits = 0;
        held = 0;
    };

    while (in < end) {
        // The common case: four clean characters at a group boundary.
        if (held == 0 && end - in >= 4) {
            const unsigned a = ranks[in[0]], b = ranks[in[1]], c = ranks[in[2]], d = ranks[in[3]];
            if ((a | b | c | d) < 64) {
                const quint32 group = (a << 18) | (b << 12) | (c << 6) | d;
                out[0] = static_cast<unsigned char>(group >> 16);
                out[1] = static_cast<unsigned char>(group >> 8);
                out[2] = static_cast<unsigned char>(group);
                out += 3;
                in += 4;
                continue;
            }
        }
        const unsigned char rank = ranks[*in++];
        if (rank == padding) {
            flush();
        } else if (rank != invalid) {
            bits = (bits << 6) | rank;
            if (++held == 4) {
                out[0] = static_cast<unsigned char>(bits >> 16);
                out[1] = static_cast<unsigned char>(bits >> 8);
                out[2] = static_cast<unsigned char>(bits);
                out += 3;
                bits = 0;
                held = 0;
            }
        }
    }
    flush();
    decoded.truncate(reinterpret_cast<char*>(out) - decoded.data());
    return decoded;
}

} // namespace Mime
