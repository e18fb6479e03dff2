#include "billing/Sha256.h"

#include <QCryptographicHash>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define ZIMBRANA_SHA_NI 1
#include <immintrin.h>
#endif

namespace billing {

namespace {

#ifdef ZIMBRANA_SHA_NI

alignas(16) constexpr quint32 kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

// Hashes whole 64-byte blocks into `state` (a b c d e f g h) with the SHA extensions.
__attribute__((target("sha,sse4.1"))) void compressBlocks(quint32 *state, const unsigned char *data, std::size_t blocks)
{
    const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    // The instructions want the state as ABEF and CDGH.
    const __m128i abcd = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(state)), 0xB1);
    __m128i cdgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i *>(state + 4)), 0x1B);
    __m128i abef = _mm_alignr_epi8(abcd, cdgh, 8);
    cdgh = _mm_blend_epi16(cdgh, abcd, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i w[4]; // the last four groups of four words of the message schedule
        for (int i = 0; i < 16; ++i) {
            __m128i group;
            if (i < 4) {
                group = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(data + 16 * i)), byteSwap);
            } else {
                group = _mm_sha256msg1_epu32(w[i & 3], w[(i + 1) & 3]);
                group = _mm_add_epi32(group, _mm_alignr_epi8(w[(i + 3) & 3], w[(i + 2) & 3], 4));
                group = _mm_sha256msg2_epu32(group, w[(i + 3) & 3]);
            }
            w[i & 3] = group;
            const __m128i k =
                _mm_add_epi32(group, _mm_load_si128(reinterpret_cast<const __m128i *>(kRoundConstants + 4 * i)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, k);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(k, 0x0E));
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

bool hasShaInstructions()
{
    static const bool has = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sha") && __builtin_cpu_supports("sse4.1") && __builtin_cpu_supports("ssse3");
    }();
    return has;
}

Sha256Digest digestInHardware(std::initializer_list<QByteArrayView> pieces)
{
    quint32 state[8] = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a, 0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    unsigned char block[64];
    std::size_t filled = 0;
    quint64 length = 0;
    for (const QByteArrayView piece : pieces) {
        const auto *data = reinterpret_cast<const unsigned char *>(piece.data());
        auto left = static_cast<std::size_t>(piece.size());
        length += left;
        if (filled > 0) {
            const std::size_t n = std::min(left, 64 - filled);
            std::memcpy(block + filled, data, n);
            filled += n;
            data += n;
            left -= n;
            if (filled < 64)
                continue;
            compressBlocks(state, block, 1);
            filled = 0;
        }
        if (left >= 64) {
            compressBlocks(state, data, left / 64);
            data += left / 64 * 64;
            left %= 64;
        }
        if (left > 0) {
            std::memcpy(block, data, left);
            filled = left;
        }
    }
    // The padding: a one bit, zeros, and the length in bits, big-endian, ending a block.
    block[filled++] = 0x80;
    if (filled > 56) {
        std::memset(block + filled, 0, 64 - filled);
        compressBlocks(state, block, 1);
        filled = 0;
    }
    std::memset(block + filled, 0, 56 - filled);
    const quint64 bits = length * 8;
    for (int i = 0; i < 8; ++i)
        block[56 + i] = static_cast<unsigned char>(bits >> (56 - 8 * i));
    compressBlocks(state, block, 1);

    Sha256Digest digest;
    for (int i = 0; i < 8; ++i)
        for (int j = 0; j < 4; ++j)
            digest[static_cast<std::size_t>(4 * i + j)] = static_cast<quint8>(state[i] >> (24 - 8 * j));
    return digest;
}

#endif

} // namespace

Sha256Digest sha256DigestPortable(std::initializer_list<QByteArrayView> pieces)
{
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const QByteArrayView piece : pieces)
        hash.addData(piece);
    const QByteArray result = hash.result();
    Sha256Digest digest;
    std::memcpy(digest.data(), result.constData(), digest.size());
    return digest;
}

bool sha256InHardware()
{
#ifdef ZIMBRANA_SHA_NI
    return hasShaInstructions();
#else
    return false;
#endif
}

Sha256Digest sha256Digest(std::initializer_list<QByteArrayView> pieces)
{
#ifdef ZIMBRANA_SHA_NI
    if (hasShaInstructions())
        return digestInHardware(pieces);
#endif
    return sha256DigestPortable(pieces);
}

std::array<char, 64> hexOf(const Sha256Digest &digest)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::array<char, 64> hex{};
    for (std::size_t i = 0; i < digest.size(); ++i) {
        hex[2 * i] = kDigits[digest[i] >> 4];
        hex[2 * i + 1] = kDigits[digest[i] & 0xF];
    }
    return hex;
}

} // namespace billing
