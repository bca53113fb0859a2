#include <gtest/gtest.h>

#include <cstring>

#include "tools/host/PresetFile.h"
#include "tools/host/ToolError.h"

namespace {

constexpr PresetTarget kTolvan{0x69713731, 41, 8};

std::vector<uint8_t> word(uint32_t w)
{
    return {static_cast<uint8_t>(w >> 24), static_cast<uint8_t>(w >> 16), static_cast<uint8_t>(w >> 8),
            static_cast<uint8_t>(w)};
}

void append(std::vector<uint8_t>& to, const std::vector<uint8_t>& bytes)
{
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// A program file laid out by hand: every field typed in as the format defines it.
std::vector<uint8_t> handMadeProgram(const char* name, uint32_t firstValueBits)
{
    std::vector<uint8_t> file;
    append(file, {'C', 'c', 'n', 'K'});
    append(file, word(212));  // 220 bytes less the first eight
    append(file, {'F', 'x', 'C', 'k'});
    append(file, word(1));  // format version
    append(file, {'i', 'q', '7', '1'});
    append(file, word(1));  // effect version
    append(file, word(41));
    std::vector<uint8_t> nameField(28, 0);
    std::memcpy(nameField.data(), name, std::strlen(name));
    append(file, nameField);
    append(file, word(firstValueBits));
    append(file, word(0x3F800000));                               // 1.0
    append(file, word(0x3F000000));                               // 0.5
    for (int i = 3; i < 41; ++i) append(file, word(0x3E800000));  // 0.25
    return file;
}

PresetProgram programOf(const char* name, float first)
{
    PresetProgram p{name, std::vector<float>(41, 0.25f)};
    p.values[0] = first;
    p.values[1] = 1.0f;
    p.values[2] = 0.5f;
    return p;
}

std::string failureOf(const std::vector<uint8_t>& bytes, const PresetTarget& target = kTolvan)
{
    try {
        decodePreset(bytes, "x.fxp", target);
    } catch (const ToolError& e) {
        EXPECT_EQ(e.status, 1);
        return e.what();
    }
    return "";
}

TEST(PresetFile, ProgramFileMatchesTheHandMadeBytesAndReadsBack)
{
    const std::vector<uint8_t> expected = handMadeProgram("Bright", 0x00000000);
    ASSERT_EQ(expected.size(), 220u);
    EXPECT_EQ(encodeProgramFile(programOf("Bright", 0.0f), 0x69713731, 1), expected);

    const Preset read = decodePreset(expected, "x.fxp", kTolvan);
    EXPECT_FALSE(read.bank);
    ASSERT_EQ(read.programs.size(), 1u);
    EXPECT_EQ(read.programs[0].name, "Bright");
    EXPECT_EQ(read.programs[0].values, programOf("Bright", 0.0f).values);
}

TEST(PresetFile, BankHoldsEveryProgramAsAProgramFileAndTheCurrentOne)
{
    std::vector<PresetProgram> programs;
    for (int p = 0; p < 8; ++p)
        programs.push_back(
            programOf(std::string(1, 'P').append(std::to_string(p)).c_str(), 0.125f * static_cast<float>(p)));
    const std::vector<uint8_t> bank = encodeBankFile(programs, 5, 0x69713731, 1);
    ASSERT_EQ(bank.size(), 28u + 128u + 8u * 220u);
    std::vector<uint8_t> header;
    append(header, {'C', 'c', 'n', 'K'});
    append(header, word(static_cast<uint32_t>(bank.size() - 8)));
    append(header, {'F', 'x', 'B', 'k'});
    append(header, word(2));
    append(header, {'i', 'q', '7', '1'});
    append(header, word(1));
    append(header, word(8));
    append(header, word(5));
    EXPECT_TRUE(std::equal(header.begin(), header.end(), bank.begin()));
    EXPECT_TRUE(std::all_of(bank.begin() + 32, bank.begin() + 156, [](uint8_t b) { return b == 0; }));
    // 0.375 is 0x3EC00000.
    const std::vector<uint8_t> third = handMadeProgram("P3", 0x3EC00000);
    EXPECT_TRUE(std::equal(third.begin(), third.end(), bank.begin() + 156 + 3 * 220));

    const Preset read = decodePreset(bank, "x.fxb", kTolvan);
    EXPECT_TRUE(read.bank);
    EXPECT_EQ(read.currentProgram, 5);
    ASSERT_EQ(read.programs.size(), 8u);
    for (int p = 0; p < 8; ++p) {
        EXPECT_EQ(read.programs[p].name, programs[p].name);
        EXPECT_EQ(read.programs[p].values, programs[p].values);
    }
}

TEST(PresetFile, LongNamesFillTheFieldWithoutTerminator)
{
    const std::string name(28, 'n');
    const std::vector<uint8_t> file = encodeProgramFile(programOf(name.c_str(), 0), 0x69713731, 1);
    EXPECT_EQ(decodePreset(file, "x.fxp", kTolvan).programs[0].name, name);
}

TEST(PresetFile, RefusesWhatIsNotThisEffectsProgramOrBank)
{
    const std::vector<uint8_t> good = handMadeProgram("Good", 0);
    EXPECT_EQ(failureOf({}), "x.fxp: not a preset file (no CcnK header)");
    EXPECT_EQ(failureOf({'R', 'I', 'F', 'F', 0, 0, 0, 4, 'W', 'A', 'V', 'E'}),
              "x.fxp: not a preset file (no CcnK header)");

    std::vector<uint8_t> other = good;
    std::memcpy(other.data() + 16, "abcd", 4);
    EXPECT_EQ(failureOf(other), "x.fxp: belongs to another plug-in (id 'abcd'; this one is 'iq71')");

    std::vector<uint8_t> opaque = good;
    std::memcpy(opaque.data() + 8, "FPCh", 4);
    EXPECT_NE(failureOf(opaque).find("opaque chunk"), std::string::npos);

    EXPECT_EQ(failureOf(good, {0x69713731, 40, 8}), "x.fxp: holds 41 parameters; this plug-in has 40");

    const std::vector<uint8_t> cut(good.begin(), good.end() - 1);
    EXPECT_EQ(failureOf(cut), "x.fxp: the file is cut short");

    std::vector<uint8_t> nan = good;
    const std::vector<uint8_t> nanBits = word(0x7FC00000);
    std::copy(nanBits.begin(), nanBits.end(), nan.begin() + 56 + 4 * 7);
    EXPECT_EQ(failureOf(nan), "x.fxp: parameter 7 is outside 0..1");

    std::vector<PresetProgram> seven(7, programOf("P", 0));
    EXPECT_EQ(failureOf(encodeBankFile(seven, 0, 0x69713731, 1)), "x.fxp: holds 7 programs; this plug-in has 8");
}

}  // namespace
