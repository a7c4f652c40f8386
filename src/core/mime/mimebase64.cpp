#include "core/mime/mimebase64.h"

#include <array>
#include <cstdint>
#include <memory>

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

// The 12 bits of every pair of characters, 0xFFFF when either is not in the
// alphabet: half the lookups of a table of single characters.
const std::array<std::uint16_t, 65536>& pairs()
{
    static const auto table = [] {
        auto built = std::make_unique<std::array<std::uint16_t, 65536>>();
        for (int first = 0; first < 256; ++first) {
            for (int second = 0; second < 256; ++second) {
                const unsigned a = ranks[size_t(first)], b = ranks[size_t(second)];
                (*built)[size_t(first << 8 | second)] =
                    (a | b) < 64 ? std::uint16_t(a << 6 | b) : std::uint16_t(0xFFFF);
            }
        }
        return built;
    }();
    return *table;
}

} // namespace

QByteArray decodeBase64(QByteArrayView encoded)
{
    const std::array<std::uint16_t, 65536>& pair = pairs();
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
        // The common case: runs of clean groups of four between line breaks.
        if (held == 0) {
            while (end - in >= 4) {
                const unsigned high = pair[size_t(in[0] << 8 | in[1])];
                const unsigned low = pair[size_t(in[2] << 8 | in[3])];
                if ((high | low) > 0xFFF)
                    break;
                const unsigned group = high << 12 | low;
                out[0] = static_cast<unsigned char>(group >> 16);
                out[1] = static_cast<unsigned char>(group >> 8);
                out[2] = static_cast<unsigned char>(group);
                out += 3;
                in += 4;
            }
            if (in == end)
                break;
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
