#include "framework/PackedImage.h"

#include <algorithm>
#include <cstring>

namespace VSTGUI::packed {

namespace {

uint32_t readU32(std::span<const unsigned char> bytes, std::size_t offset)
{
    return uint32_t{bytes[offset]} | (uint32_t{bytes[offset + 1]} << 8) | (uint32_t{bytes[offset + 2]} << 16) |
           (uint32_t{bytes[offset + 3]} << 24);
}

// Reads the stream most significant bit first. Past the end it reads zeros and counts
// them, so a truncated band is noticed instead of read beyond.
class BitReader {
public:
    explicit BitReader(std::span<const unsigned char> bytes) : next(bytes.data()), end(bytes.data() + bytes.size())
    {
        refill();
    }

    // At least 57 bits are buffered after this.
    void refill()
    {
        while (count <= 56) {
            uint64_t byte = 0;
            if (next < end) {
                byte = *next++;
            } else {
                ++padding;
            }
            buffer |= byte << (56 - count);
            count += 8;
        }
    }
    uint32_t peek(int n) const { return static_cast<uint32_t>(buffer >> (64 - n)); }
    void consume(int n)
    {
        buffer <<= n;
        count -= n;
    }
    uint32_t take(int n)
    {
        if (n == 0) return 0;
        const uint32_t value = peek(n);
        consume(n);
        return value;
    }
    // Whether any bit read so far lay beyond the bytes.
    bool overran() const { return padding * 8 > count; }

private:
    const unsigned char* next;
    const unsigned char* end;
    uint64_t buffer = 0;
    int count = 0;
    int64_t padding = 0;
};

}  // namespace

bool isPackedImage(std::span<const unsigned char> bytes)
{
    return bytes.size() >= sizeof kMagic && std::memcmp(bytes.data(), kMagic, sizeof kMagic) == 0;
}

bool buildDecodeTable(std::span<const uint8_t, kSymbolCount> lengths, DecodeTable& table)
{
    // Kraft's inequality in units of the longest code: a prefix code uses at most all of it.
    int64_t used = 0;
    for (uint8_t length : lengths) {
        if (length > kMaxCodeLength) return false;
        if (length > 0) used += int64_t{1} << (kMaxCodeLength - length);
    }
    if (used == 0 || used > (int64_t{1} << kMaxCodeLength)) return false;
    table.fill({});
    const std::array<uint16_t, kSymbolCount> codes = canonicalCodes(lengths);
    for (int symbol = 0; symbol < kSymbolCount; ++symbol) {
        const int length = lengths[static_cast<std::size_t>(symbol)];
        if (length == 0) continue;
        const std::size_t first = std::size_t{codes[static_cast<std::size_t>(symbol)]} << (kMaxCodeLength - length);
        const std::size_t span = std::size_t{1} << (kMaxCodeLength - length);
        std::fill_n(table.begin() + static_cast<std::ptrdiff_t>(first), span,
                    DecodeEntry{static_cast<uint16_t>(symbol), static_cast<uint8_t>(length)});
    }
    return true;
}

bool PackedImage::parse(std::span<const unsigned char> bytes)
{
    *this = {};
    if (!isPackedImage(bytes) || bytes.size() < kHeaderSize) return false;
    const uint32_t width = readU32(bytes, 4);
    const uint32_t height = readU32(bytes, 8);
    if (width == 0 || height == 0 || width > uint32_t{INT32_MAX} || height > uint32_t{INT32_MAX} ||
        int64_t{width} * height > PixelSurface::kMaxPixels)
        return false;
    const std::span<const uint8_t, kSymbolCount> lengths{bytes.data() + 12, kSymbolCount};
    DecodeTable decoding;
    if (!buildDecodeTable(lengths, decoding)) return false;
    const std::size_t bands = (height + kBandHeight - 1) / kBandHeight;
    const std::size_t tableEnd = kHeaderSize + (bands + 1) * 4;
    if (bytes.size() < tableEnd) return false;
    std::vector<uint32_t> offsets(bands + 1);
    for (std::size_t i = 0; i <= bands; ++i) {
        offsets[i] = readU32(bytes, kHeaderSize + i * 4);
        if ((i > 0 && offsets[i] < offsets[i - 1]) || offsets[i] > bytes.size() - tableEnd) return false;
    }
    bits = bytes.subspan(tableEnd);
    imageWidth = static_cast<int32_t>(width);
    imageHeight = static_cast<int32_t>(height);
    bandOffsets = std::move(offsets);
    table = decoding;
    return true;
}

bool PackedImage::decodeBand(int32_t index, PixelSurface& rows) const
{
    if (index < 0 || index >= bandCount()) return false;
    const int32_t top = index * kBandHeight;
    const int32_t rowCount = std::min(kBandHeight, imageHeight - top);
    // Every pixel is written, in order, before any is read (the prediction looks only left
    // and up); a band that breaks off is thrown away for a black one.
    PixelSurface decoded(imageWidth, rowCount, PixelSurface::Unfilled{});
    const auto at = static_cast<std::size_t>(index);
    BitReader reader(bits.subspan(bandOffsets[at], bandOffsets[at + 1] - bandOffsets[at]));
    uint64_t zeros = 0;  // zero samples still owed by the last run
    bool damaged = false;
    const auto sample = [&]() -> int {
        if (zeros > 0) {
            --zeros;
            return 0;
        }
        reader.refill();
        const DecodeEntry entry = table[reader.peek(kMaxCodeLength)];
        if (entry.length == 0) {
            damaged = true;
            return 0;
        }
        reader.consume(entry.length);
        if (entry.symbol < 256) return entry.symbol;
        const int extra = entry.symbol - 256;
        zeros = (uint64_t{1} << extra) + reader.take(extra) - 1;
        return 0;
    };
    for (int32_t y = 0; y < rowCount && !damaged; ++y) {
        Pixel* row = decoded.row(y);
        const Pixel* above = y > 0 ? decoded.row(y - 1) : nullptr;
        for (int32_t x = 0; x < imageWidth; ++x) {
            const int green = sample();
            const int red = sample() + green;
            const int blue = sample() + green;
            row[x] = (static_cast<Pixel>((predictChannel(row, above, x, 16) + red) & 0xFF) << 16) |
                     (static_cast<Pixel>((predictChannel(row, above, x, 8) + green) & 0xFF) << 8) |
                     static_cast<Pixel>((predictChannel(row, above, x, 0) + blue) & 0xFF);
        }
    }
    if (damaged || zeros > 0 || reader.overran()) {
        rows = PixelSurface(imageWidth, rowCount);
        return false;
    }
    rows = std::move(decoded);
    return true;
}

}  // namespace VSTGUI::packed
