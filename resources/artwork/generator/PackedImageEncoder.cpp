#include "resources/artwork/generator/PackedImageEncoder.h"

#include "framework/PackedImage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <queue>

namespace tolvan::artwork {

namespace packed = VSTGUI::packed;

namespace {

// A symbol of the code and the extra bits that follow it.
struct Token {
    int symbol;
    int extraBits;
    std::uint32_t extra;
};

// The residual samples of one band, as the decoder reads them: green, red minus green,
// blue minus green of each pixel's difference from its prediction.
std::vector<std::uint8_t> bandSamples(std::span<const std::uint32_t> pixels, int width, int top, int rows)
{
    std::vector<std::uint8_t> samples;
    samples.reserve(static_cast<std::size_t>(width) * rows * 3);
    for (int y = 0; y < rows; ++y) {
        const std::uint32_t* row = pixels.data() + static_cast<std::size_t>(top + y) * width;
        const std::uint32_t* above = y > 0 ? row - width : nullptr;
        for (int x = 0; x < width; ++x) {
            const auto difference = [&](int shift) {
                return static_cast<int>((row[x] >> shift) & 0xFF) - packed::predictChannel(row, above, x, shift);
            };
            const int green = difference(8);
            samples.push_back(static_cast<std::uint8_t>(green & 0xFF));
            samples.push_back(static_cast<std::uint8_t>((difference(16) - green) & 0xFF));
            samples.push_back(static_cast<std::uint8_t>((difference(0) - green) & 0xFF));
        }
    }
    return samples;
}

// Zero samples become runs, split where a run would not fit the largest run class.
std::vector<Token> tokenize(const std::vector<std::uint8_t>& samples)
{
    std::vector<Token> tokens;
    const auto flushRun = [&](std::uint64_t run) {
        constexpr std::uint64_t kLongest = (std::uint64_t{1} << packed::kRunClasses) - 1;
        while (run > 0) {
            const std::uint64_t length = std::min(run, kLongest);
            const int k = std::bit_width(length) - 1;
            tokens.push_back({256 + k, k, static_cast<std::uint32_t>(length - (std::uint64_t{1} << k))});
            run -= length;
        }
    };
    std::uint64_t run = 0;
    for (std::uint8_t s : samples) {
        if (s == 0) {
            ++run;
            continue;
        }
        flushRun(run);
        run = 0;
        tokens.push_back({s, 0, 0});
    }
    flushRun(run);
    return tokens;
}

// Huffman code lengths of the counts, no longer than the decoder's table allows: counts are
// halved until the tree is shallow enough. Ties break by symbol, so the bytes never vary.
std::array<std::uint8_t, packed::kSymbolCount> codeLengths(std::array<std::uint64_t, packed::kSymbolCount> counts)
{
    for (;;) {
        std::array<std::uint8_t, packed::kSymbolCount> lengths{};
        std::vector<int> parent;
        using Node = std::pair<std::uint64_t, int>;  // count, node
        std::priority_queue<Node, std::vector<Node>, std::greater<>> queue;
        std::vector<int> leafNode(packed::kSymbolCount, -1);
        for (int s = 0; s < packed::kSymbolCount; ++s) {
            if (counts[static_cast<std::size_t>(s)] == 0) continue;
            leafNode[static_cast<std::size_t>(s)] = static_cast<int>(parent.size());
            queue.push({counts[static_cast<std::size_t>(s)], static_cast<int>(parent.size())});
            parent.push_back(-1);
        }
        if (parent.size() == 1) {
            for (int s = 0; s < packed::kSymbolCount; ++s)
                if (leafNode[static_cast<std::size_t>(s)] >= 0) lengths[static_cast<std::size_t>(s)] = 1;
            return lengths;
        }
        while (queue.size() > 1) {
            const Node a = queue.top();
            queue.pop();
            const Node b = queue.top();
            queue.pop();
            const int joined = static_cast<int>(parent.size());
            parent.push_back(-1);
            parent[static_cast<std::size_t>(a.second)] = joined;
            parent[static_cast<std::size_t>(b.second)] = joined;
            queue.push({a.first + b.first, joined});
        }
        bool fits = true;
        for (int s = 0; s < packed::kSymbolCount; ++s) {
            int node = leafNode[static_cast<std::size_t>(s)];
            if (node < 0) continue;
            int depth = 0;
            while (parent[static_cast<std::size_t>(node)] >= 0) {
                node = parent[static_cast<std::size_t>(node)];
                ++depth;
            }
            fits = fits && depth <= packed::kMaxCodeLength;
            lengths[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(std::min(depth, 255));
        }
        if (fits) return lengths;
        for (std::uint64_t& count : counts)
            if (count > 0) count = (count + 1) / 2;
    }
}

class BitWriter {
public:
    void put(std::uint32_t value, int bits)
    {
        for (int i = bits - 1; i >= 0; --i) {
            current = static_cast<std::uint8_t>((current << 1) | ((value >> i) & 1));
            if (++filled == 8) {
                bytes.push_back(current);
                current = 0;
                filled = 0;
            }
        }
    }
    // Pads the last byte with zeros.
    std::vector<std::uint8_t> finish()
    {
        if (filled > 0) bytes.push_back(static_cast<std::uint8_t>(current << (8 - filled)));
        return std::move(bytes);
    }

private:
    std::vector<std::uint8_t> bytes;
    std::uint8_t current = 0;
    int filled = 0;
};

void putU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> encodePackedImage(std::span<const std::uint32_t> pixels, int width, int height)
{
    std::vector<std::vector<Token>> bands;
    std::array<std::uint64_t, packed::kSymbolCount> counts{};
    for (int top = 0; top < height; top += packed::kBandHeight) {
        bands.push_back(tokenize(bandSamples(pixels, width, top, std::min(packed::kBandHeight, height - top))));
        for (const Token& t : bands.back()) ++counts[static_cast<std::size_t>(t.symbol)];
    }
    const std::array<std::uint8_t, packed::kSymbolCount> lengths = codeLengths(counts);
    const std::array<std::uint16_t, packed::kSymbolCount> codes = packed::canonicalCodes(lengths);

    std::vector<std::uint8_t> out(std::begin(packed::kMagic), std::end(packed::kMagic));
    putU32(out, static_cast<std::uint32_t>(width));
    putU32(out, static_cast<std::uint32_t>(height));
    out.insert(out.end(), lengths.begin(), lengths.end());
    std::vector<std::uint8_t> bits;
    std::vector<std::uint32_t> offsets{0};
    for (const std::vector<Token>& band : bands) {
        BitWriter writer;
        for (const Token& t : band) {
            writer.put(codes[static_cast<std::size_t>(t.symbol)], lengths[static_cast<std::size_t>(t.symbol)]);
            writer.put(t.extra, t.extraBits);
        }
        const std::vector<std::uint8_t> bandBits = writer.finish();
        bits.insert(bits.end(), bandBits.begin(), bandBits.end());
        offsets.push_back(static_cast<std::uint32_t>(bits.size()));
    }
    for (std::uint32_t offset : offsets) putU32(out, offset);
    out.insert(out.end(), bits.begin(), bits.end());
    return out;
}

}  // namespace tolvan::artwork
