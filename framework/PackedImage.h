#pragma once
// The stored form of the artwork drawn for the larger display scales: losslessly packed
// 24-bit pixels, a few times smaller than a .bmp file, in bands of rows that decode
// independently, so that a film strip still costs only the images that are shown.
//
// Layout (numbers little-endian):
//   "TPI1", width (u32), height (u32), one code length (byte, 0 = unused) per symbol,
//   (bands + 1) byte offsets (u32) of each band's bits from the end of that table, the bits.
// A band is kPackedBandHeight rows (fewer in the last). Each pixel is predicted from its
// left, upper and upper-left neighbours in the same band; the differences of green, red
// minus green and blue minus green follow one another as samples, coded with one
// canonical prefix code for the whole image: a symbol below 256 is a sample, symbol
// 256 + k a run of 2^k + (k more bits, most significant first) zero samples.

#include "framework/PixelSurface.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace VSTGUI::packed {

inline constexpr unsigned char kMagic[4] = {'T', 'P', 'I', '1'};
inline constexpr int32_t kBandHeight = 32;
inline constexpr int kRunClasses = 24;
inline constexpr int kSymbolCount = 256 + kRunClasses;
inline constexpr int kMaxCodeLength = 12;
inline constexpr std::size_t kHeaderSize = 12 + kSymbolCount;

// The median edge predictor: the left or the upper neighbour across an edge, the plane
// through the three neighbours elsewhere. Exact in integers, so both ends agree.
constexpr int predict(int left, int up, int upLeft)
{
    const int low = left < up ? left : up;
    const int high = left < up ? up : left;
    if (upLeft >= high) return low;
    if (upLeft <= low) return high;
    return left + up - upLeft;
}

// The prediction of channel `shift` (16 red, 8 green, 0 blue) of pixel x of a row, given
// the row above in the same band (null on a band's first row).
inline int predictChannel(const Pixel* row, const Pixel* above, int32_t x, int shift)
{
    const auto channel = [shift](Pixel p) { return static_cast<int>((p >> shift) & 0xFF); };
    if (above == nullptr) return x > 0 ? channel(row[x - 1]) : 0;
    if (x == 0) return channel(above[0]);
    return predict(channel(row[x - 1]), channel(above[x]), channel(above[x - 1]));
}

// The canonical code's decoding table: kMaxCodeLength bits of the stream look up the
// symbol and its length (0 where no code starts with those bits).
struct DecodeEntry {
    uint16_t symbol = 0;
    uint8_t length = 0;
};
using DecodeTable = std::array<DecodeEntry, std::size_t{1} << kMaxCodeLength>;

// A packed image's parsed header. Holds a view of the bytes, which must outlive it.
class PackedImage {
public:
    // False (and the image left unusable) for bytes that are not a well-formed header with
    // a usable code and band table.
    bool parse(std::span<const unsigned char> bytes);

    int32_t width() const { return imageWidth; }
    int32_t height() const { return imageHeight; }
    int32_t bandCount() const { return static_cast<int32_t>(bandOffsets.size()) - 1; }

    // Decodes band `index` into rows (kPackedBandHeight rows or fewer for the last band,
    // the image's width). Damaged bits give false and black rows, never a read outside
    // the bytes.
    bool decodeBand(int32_t index, PixelSurface& rows) const;

private:
    std::span<const unsigned char> bits;
    int32_t imageWidth = 0;
    int32_t imageHeight = 0;
    std::vector<uint32_t> bandOffsets;
    DecodeTable table{};
};

// The code lengths of a canonical code in the decoding table; false for lengths that no
// prefix code has (over-subscribed) or that exceed kMaxCodeLength.
bool buildDecodeTable(std::span<const uint8_t, kSymbolCount> lengths, DecodeTable& table);

// The canonical code of each symbol from its length: codes of one length are consecutive
// in symbol order, shorter codes first. The encoder and the decoding table both use it.
constexpr std::array<uint16_t, kSymbolCount> canonicalCodes(std::span<const uint8_t, kSymbolCount> lengths)
{
    std::array<int, kMaxCodeLength + 1> perLength{};
    for (uint8_t length : lengths)
        if (length <= kMaxCodeLength) ++perLength[length];
    perLength[0] = 0;
    std::array<int, kMaxCodeLength + 1> next{};
    int code = 0;
    for (int length = 1; length <= kMaxCodeLength; ++length) {
        code = (code + perLength[length - 1]) << 1;
        next[length] = code;
    }
    std::array<uint16_t, kSymbolCount> codes{};
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        const uint8_t length = lengths[symbol];
        if (length > 0 && length <= kMaxCodeLength) codes[symbol] = static_cast<uint16_t>(next[length]++);
    }
    return codes;
}

// Whether the bytes start as a packed image does.
bool isPackedImage(std::span<const unsigned char> bytes);

}  // namespace VSTGUI::packed
