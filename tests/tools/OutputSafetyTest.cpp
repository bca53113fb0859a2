// What the tool's outputs do to what is already there: devices, pipes and links are
// written as what they are, a failure leaves the old file whole and nothing hidden behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>

#include "tests/tools/SoundFiles.h"
#include "tests/tools/ToolRunner.h"

namespace {

namespace fs = std::filesystem;
using tooltest::contents;
using tooltest::noise;
using tooltest::readSound;
using tooltest::runTool;
using tooltest::runToolWith;
using tooltest::TempFolder;
using tooltest::ToolRun;
using tooltest::writeSound;

constexpr const char* kOld = "what was here before\n";

bool isKind(const std::string& path, mode_t kind)
{
    struct stat status {};
    return lstat(path.c_str(), &status) == 0 && (status.st_mode & S_IFMT) == kind;
}

// A folder with in.wav (a second of stereo noise) and old.wav (text that must survive).
struct Workspace {
    Workspace()
    {
        writeSound(folder / "in.wav", noise(2, 48000, 48000, 0.5f, 11));
        std::ofstream(folder / "old.wav") << kOld;
    }
    TempFolder folder;
};

TEST(OutputSafety, PipesAndDevicesAreWrittenStraightAndStayWhatTheyAre)
{
    Workspace w;
    const std::string plain = w.folder / "plain.wav";
    ASSERT_EQ(runTool({"process", w.folder / "in.wav", plain}).status, 0);

    const std::string fifo = w.folder / "pipe.wav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A second name of the FIFO lets the test end its reader if the tool never opens it.
    const std::string spare = w.folder / "spare-name";
    fs::create_hard_link(fifo, spare);
    auto reader = std::async(std::launch::async, [&] { return contents(fifo); });
    const ToolRun piped = runTool({"process", w.folder / "in.wav", fifo});
    EXPECT_EQ(piped.status, 0) << piped.err;
    const int release = open(spare.c_str(), O_WRONLY | O_NONBLOCK);
    if (release >= 0) close(release);
    const std::string received = reader.get();
    EXPECT_TRUE(isKind(fifo, S_IFIFO)) << "the FIFO was replaced";
    ASSERT_GT(received.size(), 48000u * 2 * 4) << "the reader got " << received.size() << " bytes";
    std::ofstream(w.folder / "received.wav", std::ios::binary) << received;
    EXPECT_EQ(readSound(w.folder / "received.wav").samples, readSound(plain).samples);

    // A device node of our own, the same device as /dev/null, so that a fault replaces
    // nothing of the system's.
    if (geteuid() == 0) {
        const std::string null = w.folder / "null";
        ASSERT_EQ(mknod(null.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
        const ToolRun run = runTool({"process", w.folder / "in.wav", null});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_TRUE(isKind(null, S_IFCHR)) << "the device was replaced by a file";
    }
    // A full device fails loudly.
    const ToolRun full = runTool({"process", w.folder / "in.wav", "/dev/full"});
    EXPECT_EQ(full.status, 1);
    EXPECT_NE(full.err.find("/dev/full: cannot write: No space left on device"), std::string::npos) << full.err;
}

TEST(OutputSafety, ALinkIsWrittenThroughToItsTargetAndStaysALink)
{
    Workspace w;
    fs::create_directory(w.folder.path() / "elsewhere");
    const std::string target = w.folder / "elsewhere/target.wav";
    std::ofstream(target) << kOld;
    const std::string link = w.folder / "link.wav";
    fs::create_symlink("elsewhere/target.wav", link);
    fs::create_symlink("elsewhere/new.wav", w.folder / "dangling.wav");

    ASSERT_EQ(runTool({"process", w.folder / "in.wav", link}).status, 0);
    ASSERT_EQ(runTool({"process", w.folder / "in.wav", w.folder / "dangling.wav"}).status, 0);
    EXPECT_TRUE(isKind(link, S_IFLNK));
    EXPECT_EQ(fs::read_symlink(link), "elsewhere/target.wav");
    EXPECT_EQ(readSound(target).channels, 2) << "the target must hold the output";
    EXPECT_TRUE(isKind(w.folder / "dangling.wav", S_IFLNK));
    EXPECT_EQ(readSound(w.folder / "elsewhere/new.wav").channels, 2);
    EXPECT_EQ(w.folder.names(),
              (std::vector<std::string>{"dangling.wav", "elsewhere", "in.wav", "link.wav", "old.wav"}));
}

// Runs the tool with a limit on the size of the files it writes, as `ulimit -f` sets.
ToolRun runWithFileSizeLimit(rlim_t bytes, const std::vector<std::string>& arguments)
{
    return runToolWith(
        [bytes] {
            const rlimit limit{bytes, bytes};
            setrlimit(RLIMIT_FSIZE, &limit);
        },
        arguments);
}

TEST(OutputSafety, AFullDiskOrAFileSizeLimitFailsCleanlyAndKeepsTheOldFile)
{
    Workspace w;
    std::ofstream(w.folder / "old.png") << kOld;
    std::ofstream(w.folder / "old.fxb") << kOld;
    const std::vector<std::string> before = w.folder.names();
    const std::vector<std::vector<std::string>> commands = {
        {"process", w.folder / "in.wav", w.folder / "old.wav"},
        {"snapshot", w.folder / "old.png", "--seconds", "1"},
        {"preset", "save", w.folder / "old.fxb"},
    };
    for (const auto& arguments : commands) {
        // Enough for the captured standard output, not for any of the outputs.
        const ToolRun run = runWithFileSizeLimit(1000, arguments);
        EXPECT_EQ(run.status, 1) << arguments[1] << ": the tool must not die of SIGXFSZ; " << run.err;
        EXPECT_NE(run.err.find(": cannot write: File too large"), std::string::npos) << run.err;
        EXPECT_EQ(run.out.find("Wrote"), std::string::npos) << run.out;
        EXPECT_EQ(w.folder.names(), before) << arguments[1] << ": no hidden file may stay";
    }
    for (const char* name : {"old.wav", "old.png", "old.fxb"}) EXPECT_EQ(contents(w.folder / name), kOld) << name;
}

TEST(OutputSafety, AFolderThatCannotBeWrittenIsRefusedAndChangesNothing)
{
    Workspace w;
    fs::permissions(w.folder.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                         fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(w.folder.path() / "old.wav", fs::perms::all);
    fs::permissions(w.folder.path() / "in.wav", fs::perms::owner_all | fs::perms::others_read);
    // The owner may write anywhere when it is the superuser; another user meets the folder's bits.
    const auto asSomeoneElse = [] {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(126);
    };
    const std::vector<std::string> before = w.folder.names();
    const ToolRun run = runToolWith(asSomeoneElse, {"process", w.folder / "in.wav", w.folder / "old.wav"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("old.wav: cannot write: Permission denied"), std::string::npos) << run.err;
    EXPECT_EQ(contents(w.folder / "old.wav"), kOld);
    EXPECT_EQ(w.folder.names(), before);
}

TEST(OutputSafety, TheInputIsNeverTheOutputWhateverItsName)
{
    Workspace w;
    const std::string in = w.folder / "in.wav";
    const std::string original = contents(in);
    fs::create_hard_link(in, w.folder / "hard.wav");
    fs::create_symlink("in.wav", w.folder / "soft.wav");
    const auto inFolder = [&] {
        if (chdir(w.folder.path().c_str()) != 0) _exit(126);
    };
    for (const std::string& output : {in, std::string("./in.wav"), w.folder / "hard.wav", w.folder / "soft.wav"}) {
        const ToolRun run = runToolWith(inFolder, {"process", "in.wav", output});
        EXPECT_EQ(run.status, 1) << output;
        EXPECT_NE(run.err.find("cannot write: it is the input file"), std::string::npos) << run.err;
        const ToolRun snapshot = runToolWith(inFolder, {"snapshot", output, "--input", "in.wav"});
        EXPECT_EQ(snapshot.status, 1) << output;
        EXPECT_TRUE(contents(in) == original) << output << ": the input was overwritten";
    }
}

TEST(OutputSafety, TheLongestNamesAFolderTakesCanBeWritten)
{
    Workspace w;
    for (const std::size_t length : {248u, 251u, 255u}) {
        const std::string name = std::string(length - 4, 'n') + ".wav";
        const ToolRun run = runTool({"process", w.folder / "in.wav", w.folder / name});
        EXPECT_EQ(run.status, 0) << length << ": " << run.err;
        EXPECT_EQ(readSound(w.folder / name).channels, 2) << length;
        fs::remove(w.folder.path() / name);
    }
    EXPECT_EQ(w.folder.names(), (std::vector<std::string>{"in.wav", "old.wav"}));
}

}  // namespace
