#include "tools/host/PresetFile.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "effect/PluginInterface.h"
#include "tools/host/ToolError.h"

namespace {

constexpr int32_t kChunkMagic = fourCharacters("CcnK");
constexpr int32_t kProgramMagic = fourCharacters("FxCk");
constexpr int32_t kBankMagic = fourCharacters("FxBk");
constexpr int32_t kOpaqueProgramMagic = fourCharacters("FPCh");
constexpr int32_t kOpaqueBankMagic = fourCharacters("FBCh");
constexpr std::size_t kProgramNameBytes = 28;
constexpr std::size_t kBankReservedBytes = 128;
constexpr int32_t kProgramFormatVersion = 1;
constexpr int32_t kBankFormatVersion = 2;  // names the current program in its reserved area

class Writer {
public:
    void word(int32_t value)
    {
        const auto u = static_cast<uint32_t>(value);
        for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(u >> shift));
    }
    void real(float value) { word(std::bit_cast<int32_t>(value)); }
    void text(const std::string& value, std::size_t size)
    {
        for (std::size_t i = 0; i < size; ++i) bytes.push_back(i < value.size() ? static_cast<uint8_t>(value[i]) : 0);
    }
    void zeros(std::size_t count) { bytes.insert(bytes.end(), count, 0); }
    // The header's size field counts every byte after it.
    void patchSize(std::size_t at)
    {
        const auto size = static_cast<uint32_t>(bytes.size() - at - 4);
        for (int i = 0; i < 4; ++i)
            bytes[at + static_cast<std::size_t>(i)] = static_cast<uint8_t>(size >> (24 - 8 * i));
    }
    std::vector<uint8_t> bytes;
};

class Reader {
public:
    Reader(const std::vector<uint8_t>& bytes, const std::string& fileName) : bytes(bytes), fileName(fileName) {}

    int32_t word()
    {
        need(4);
        uint32_t u = 0;
        for (int i = 0; i < 4; ++i) u = (u << 8) | bytes[at++];
        return static_cast<int32_t>(u);
    }
    float real() { return std::bit_cast<float>(word()); }
    std::string text(std::size_t size)
    {
        need(size);
        const auto* first = reinterpret_cast<const char*>(bytes.data() + at);
        at += size;
        return std::string(first, strnlen(first, size));
    }
    void skip(std::size_t count)
    {
        need(count);
        at += count;
    }
    std::size_t left() const { return bytes.size() - at; }
    [[noreturn]] void fail(const std::string& cause) const { throw ToolError(fileName + ": " + cause); }

private:
    void need(std::size_t count) const
    {
        if (left() < count) fail("the file is cut short");
    }
    const std::vector<uint8_t>& bytes;
    const std::string& fileName;
    std::size_t at = 0;
};

void writeProgram(Writer& out, const PresetProgram& program, int32_t uniqueId, int32_t effectVersion)
{
    const std::size_t start = out.bytes.size();
    out.word(kChunkMagic);
    out.word(0);
    out.word(kProgramMagic);
    out.word(kProgramFormatVersion);
    out.word(uniqueId);
    out.word(effectVersion);
    out.word(static_cast<int32_t>(program.values.size()));
    out.text(program.name, kProgramNameBytes);
    for (const float v : program.values) out.real(v);
    out.patchSize(start + 4);
}

// The header up to the kind; answers the kind after checking the size field.
int32_t readHeader(Reader& in)
{
    if (in.left() < 8 || in.word() != kChunkMagic) in.fail("not a preset file (no CcnK header)");
    const auto size = static_cast<uint32_t>(in.word());
    if (size > in.left()) in.fail("the file is cut short");
    const int32_t kind = in.word();
    if (kind == kOpaqueProgramMagic || kind == kOpaqueBankMagic) {
        in.fail("holds an opaque chunk; this plug-in keeps its state as parameter values");
    }
    if (kind != kProgramMagic && kind != kBankMagic) in.fail("not a preset file (unknown kind " + idText(kind) + ")");
    return kind;
}

void checkEffect(Reader& in, int32_t uniqueId, const PresetTarget& target)
{
    if (uniqueId != target.uniqueId) {
        in.fail("belongs to another plug-in (id " + idText(uniqueId) + "; this one is " + idText(target.uniqueId) +
                ")");
    }
}

PresetProgram readProgramBody(Reader& in, const PresetTarget& target)
{
    in.word();  // format version: 1 and later read alike
    const int32_t id = in.word();
    checkEffect(in, id, target);
    in.word();  // the effect version that wrote it
    const int32_t count = in.word();
    if (count != target.numParams) {
        in.fail("holds " + std::to_string(count) + " parameters; this plug-in has " + std::to_string(target.numParams));
    }
    PresetProgram program;
    program.name = in.text(kProgramNameBytes);
    for (int32_t i = 0; i < count; ++i) {
        const float v = in.real();
        if (!(v >= 0.0f && v <= 1.0f)) in.fail("parameter " + std::to_string(i) + " is outside 0..1");
        program.values.push_back(v);
    }
    return program;
}

}  // namespace

std::string idText(int32_t id)
{
    const auto u = static_cast<uint32_t>(id);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto c = static_cast<char>((u >> shift) & 0xFF);
        if (std::isprint(static_cast<unsigned char>(c)) == 0) {
            char hex[16];
            std::snprintf(hex, sizeof hex, "0x%08x", u);
            return hex;
        }
        text += c;
    }
    return "'" + text + "'";
}

std::vector<uint8_t> encodeProgramFile(const PresetProgram& program, int32_t uniqueId, int32_t effectVersion)
{
    Writer out;
    writeProgram(out, program, uniqueId, effectVersion);
    return out.bytes;
}

std::vector<uint8_t> encodeBankFile(const std::vector<PresetProgram>& programs, int32_t currentProgram,
                                    int32_t uniqueId, int32_t effectVersion)
{
    Writer out;
    out.word(kChunkMagic);
    out.word(0);
    out.word(kBankMagic);
    out.word(kBankFormatVersion);
    out.word(uniqueId);
    out.word(effectVersion);
    out.word(static_cast<int32_t>(programs.size()));
    out.word(currentProgram);
    out.zeros(kBankReservedBytes - 4);
    for (const PresetProgram& program : programs) writeProgram(out, program, uniqueId, effectVersion);
    out.patchSize(4);
    return out.bytes;
}

Preset decodePreset(const std::vector<uint8_t>& bytes, const std::string& fileName, const PresetTarget& target)
{
    Reader in(bytes, fileName);
    Preset preset;
    if (readHeader(in) == kProgramMagic) {
        preset.programs.push_back(readProgramBody(in, target));
        preset.uniqueId = target.uniqueId;
        return preset;
    }
    preset.bank = true;
    const int32_t formatVersion = in.word();
    preset.uniqueId = in.word();
    checkEffect(in, preset.uniqueId, target);
    in.word();  // the effect version that wrote it
    const int32_t count = in.word();
    if (count != target.numPrograms) {
        in.fail("holds " + std::to_string(count) + " programs; this plug-in has " + std::to_string(target.numPrograms));
    }
    const int32_t current = in.word();
    if (formatVersion >= kBankFormatVersion && current >= 0 && current < count) preset.currentProgram = current;
    in.skip(kBankReservedBytes - 4);
    for (int32_t p = 0; p < count; ++p) {
        if (readHeader(in) != kProgramMagic) in.fail("program " + std::to_string(p) + " of the bank is not a program");
        preset.programs.push_back(readProgramBody(in, target));
    }
    return preset;
}
