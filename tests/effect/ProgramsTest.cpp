// Programs and Reset as a host sees them.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/RecordingHost.h"

namespace {

class Programs : public ::testing::Test {
protected:
    hosting::PluginLibrary library{TOLVAN_PLUGIN_PATH};
    hosting::RecordingHost host;
    hosting::HostedEffect effect{library};
};

TEST_F(Programs, EightProgramsNamedDefault)
{
    for (int index = 0; index < 8; ++index) {
        char name[64] = "unchanged";
        EXPECT_EQ(effect.dispatch(effGetProgramNameIndexed, index, 0, name), 1) << index;
        EXPECT_STREQ(name, "Default");
    }
    for (int index : {8, 9, -1, 1000}) {
        char name[64] = "unchanged";
        EXPECT_EQ(effect.dispatch(effGetProgramNameIndexed, index, 0, name), 0) << index;
        EXPECT_STREQ(name, "unchanged");
    }
}

TEST_F(Programs, SelectingOutsideTheBankChangesNothing)
{
    effect.dispatch(effSetProgram, 0, 3);
    EXPECT_EQ(effect.dispatch(effGetProgram), 3);
    for (intptr_t program : {intptr_t{8}, intptr_t{-1}, std::numeric_limits<intptr_t>::max()}) {
        effect.dispatch(effSetProgram, 0, program);
        EXPECT_EQ(effect.dispatch(effGetProgram), 3);
    }
}

TEST_F(Programs, InitIsNumberedByItsIndex)
{
    char init[] = "Init";
    effect.dispatch(effSetProgramName, 0, 0, init);
    EXPECT_EQ(effect.text(effGetProgramName), "Init 1");
    char name[64];
    effect.dispatch(effGetProgramNameIndexed, 0, 0, name);
    EXPECT_STREQ(name, "Init");
    effect.dispatch(effSetProgram, 0, 3);
    effect.dispatch(effSetProgramName, 0, 0, init);
    EXPECT_EQ(effect.text(effGetProgramName), "Init 4");
    char almost[] = "Init ";
    effect.dispatch(effSetProgramName, 0, 0, almost);
    EXPECT_EQ(effect.text(effGetProgramName), "Init ");
}

TEST_F(Programs, LongNamesAreCutToTheField)
{
    char longName[] = "A program name much longer than twenty-three characters";
    effect.dispatch(effSetProgramName, 0, 0, longName);
    const std::string name = effect.text(effGetProgramName);
    EXPECT_EQ(name, std::string(longName, 23));
    char indexed[64];
    std::memset(indexed, 'x', sizeof indexed);
    effect.dispatch(effGetProgramNameIndexed, 0, 0, indexed);
    EXPECT_EQ(std::string(indexed), std::string(longName, 23));
    // Other programs keep their names.
    effect.dispatch(effGetProgramNameIndexed, 1, 0, indexed);
    EXPECT_STREQ(indexed, "Default");
}

// A name is cut to its field: nothing of it reaches the program stored after it, whose
// first value lies right behind the name. The values are not 0, whose bytes a spilled
// terminator would leave reading as 0.
TEST_F(Programs, RenamingNeverTouchesAnotherProgramsValues)
{
    std::vector<std::vector<float>> stored(8);
    for (int program = 0; program < 8; ++program) {
        effect.dispatch(effSetProgram, 0, program);
        for (int index = 0; index < 41; ++index) {
            effect.set(index, 0.75f - 0.05f * static_cast<float>(program));
            stored[program].push_back(effect.get(index));
        }
    }
    for (const std::size_t length : {24u, 30u, 31u, 40u}) {
        const std::string name(length, 'Z');
        for (int program = 0; program < 8; ++program) {
            effect.dispatch(effSetProgram, 0, program);
            effect.dispatch(effSetProgramName, 0, 0, const_cast<char*>(name.c_str()));
        }
        for (int program = 0; program < 8; ++program) {
            effect.dispatch(effSetProgram, 0, program);
            for (int index = 0; index < 41; ++index)
                EXPECT_EQ(effect.get(index), stored[program][index]) << length << ": " << program << ", " << index;
            EXPECT_EQ(effect.text(effGetProgramName), std::string(23, 'Z')) << program;
        }
    }
}

TEST_F(Programs, ValuesTravelWithTheirProgram)
{
    effect.set(22, 0.8f);
    effect.set(13, 1.0f);
    effect.dispatch(effSetProgram, 0, 1);
    EXPECT_NEAR(effect.get(22), std::log(32.0) / std::log(1000.0), 1e-6);
    EXPECT_EQ(effect.get(13), 0.0f);
    effect.set(22, 0.1f);
    effect.dispatch(effSetProgram, 0, 0);
    EXPECT_EQ(effect.get(22), 0.8f);
    EXPECT_EQ(effect.get(13), 1.0f);
    effect.dispatch(effSetProgram, 0, 1);
    EXPECT_EQ(effect.get(22), 0.1f);
}

TEST_F(Programs, ResetThresholds)
{
    for (float noReset : {0.0f, 0.5f, 0.89f, 0.9f}) {
        effect.set(27, 0.9f);
        effect.set(8, noReset);
        EXPECT_EQ(effect.get(27), 0.9f) << noReset;
        EXPECT_EQ(effect.get(8), 0.0f);
    }
    // A host's value of 2 or more is no press of the button.
    for (float noReset : {2.0f, 7.5f, -1.0f}) {
        effect.set(27, 0.9f);
        effect.set(8, noReset);
        EXPECT_EQ(effect.get(27), 0.9f) << noReset;
    }
    for (float reset : {0.95f, 1.0f, 1.5f, 1.9f}) {
        effect.set(27, 0.9f);
        effect.set(8, reset);
        EXPECT_EQ(effect.get(27), 0.5f) << reset;
        EXPECT_EQ(effect.get(8), 0.0f);
    }
}

TEST_F(Programs, ResetRestoresOnlyTheCurrentProgramsValues)
{
    char name[] = "Mine";
    effect.dispatch(effSetProgram, 0, 2);
    effect.dispatch(effSetProgramName, 0, 0, name);
    effect.set(10, 0.9f);
    effect.set(3, 0.0f);
    effect.set(16, 1.0f);
    effect.dispatch(effSetProgram, 0, 5);
    effect.set(10, 0.2f);
    effect.dispatch(effSetProgram, 0, 2);
    effect.set(8, 1.0f);
    EXPECT_EQ(effect.get(10), 0.5f);
    EXPECT_EQ(effect.get(3), 1.0f);
    EXPECT_EQ(effect.get(16), 0.0f);
    EXPECT_EQ(effect.text(effGetProgramName), "Mine");
    effect.dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(effect.get(10), 0.2f);
    // The reset was stored in program 2.
    effect.dispatch(effSetProgram, 0, 2);
    EXPECT_EQ(effect.get(10), 0.5f);
}

}  // namespace
