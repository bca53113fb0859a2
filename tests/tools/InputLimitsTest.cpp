// What a user's files may claim: the tool's work stays bounded by what it needs, whatever
// a file's size or header says.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/tools/SoundFiles.h"
#include "tests/tools/ToolRunner.h"

namespace {

using tooltest::runTool;
using tooltest::TempFolder;
using tooltest::ToolRun;

TEST(InputLimits, APresetIsNeverReadPastTheLargestAPresetCanBe)
{
    TempFolder folder;
    const std::string huge = folder / "huge.fxb";
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, std::size_t{64} << 20);
    const ToolRun sparse = runTool({"preset", "show", huge});
    EXPECT_EQ(sparse.status, 1);
    ASSERT_NE(sparse.err.find("huge.fxb: cannot read: longer than 1048576 bytes"), std::string::npos) << sparse.err;
    // A device that never ends: today's reader would grow without bound.
    const ToolRun endless = runTool({"preset", "show", "/dev/zero"});
    EXPECT_EQ(endless.status, 1);
    EXPECT_NE(endless.err.find("/dev/zero: cannot read: longer than"), std::string::npos) << endless.err;
}

TEST(InputLimits, ASnapshotRefusesRatesThatWouldRunTheEditorForDays)
{
    TempFolder folder;
    // 2048 frames at 1 Hz claim more than half an hour of the editor's clock.
    tooltest::Sound slow{1, 1, SF_FORMAT_WAV | SF_FORMAT_PCM_16, std::vector<float>(2048, 0.1f)};
    tooltest::writeSound(folder / "slow.wav", slow);
    const ToolRun run = runTool({"snapshot", folder / "out.png", "--input", folder / "slow.wav"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("slow.wav: a sample rate of 1 Hz; a snapshot plays from 8000 to 384000 Hz"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(folder.names(), std::vector<std::string>{"slow.wav"});
}

}  // namespace
