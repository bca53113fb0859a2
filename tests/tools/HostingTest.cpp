// The hosting library on its own: a scripted effect record stands in for a plug-in, so what
// the library asks of a plug-in and how it reads the answers show call by call.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/PluginLibrary.h"
#include "tools/hosting/RecordingHost.h"

namespace {

struct DispatcherCall {
    int32_t opcode;
    int32_t index;
    intptr_t value;
    float opt;
    bool operator==(const DispatcherCall&) const = default;
};

// A plug-in's record whose dispatcher logs every call; it names parameter 0 and leaves
// every other text unwritten, and has no editor.
class ScriptedEffect {
public:
    ScriptedEffect()
    {
        record.magic = kEffectMagic;
        record.object = this;
        record.dispatcher = &ScriptedEffect::dispatch;
    }
    AEffect* get() { return &record; }
    std::vector<DispatcherCall> calls;

private:
    static intptr_t dispatch(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt)
    {
        auto* self = static_cast<ScriptedEffect*>(effect->object);
        self->calls.push_back({opcode, index, value, opt});
        if (opcode == effGetParamName && index == 0) std::strcpy(static_cast<char*>(ptr), "Gain");
        return opcode == effClose ? 1 : 0;
    }
    AEffect record{};
};

TEST(HostedEffect, StartOpensThenSetsRateAndBlockSizeWhileSuspendedThenResumes)
{
    ScriptedEffect plugin;
    hosting::HostedEffect effect(plugin.get());
    effect.start(48000.0f, 256);
    const std::vector<DispatcherCall> expected{{effOpen, 0, 0, 0.0f},
                                               {effSetSampleRate, 0, 0, 48000.0f},
                                               {effSetBlockSize, 0, 256, 0.0f},
                                               {effMainsChanged, 0, 1, 0.0f}};
    EXPECT_EQ(plugin.calls, expected);
}

TEST(HostedEffect, ClosesOnceWhetherClosedByHandOrAtTheEndOfItsScope)
{
    ScriptedEffect closedByHand, closedAtTheEnd;
    {
        hosting::HostedEffect effect(closedByHand.get());
        EXPECT_EQ(effect.close(), 1);
        EXPECT_EQ(effect.close(), 0) << "a second close reaches no plug-in";
        EXPECT_FALSE(effect.valid());
        hosting::HostedEffect other(closedAtTheEnd.get());
    }
    for (ScriptedEffect* plugin : {&closedByHand, &closedAtTheEnd}) {
        ASSERT_EQ(plugin->calls.size(), 1u);
        EXPECT_EQ(plugin->calls.front().opcode, effClose);
    }
}

TEST(HostedEffect, ATextThePluginLeavesUnwrittenShowsAndAnEditorItLacksHasNoRectangle)
{
    ScriptedEffect plugin;
    hosting::HostedEffect effect(plugin.get());
    EXPECT_EQ(effect.text(effGetParamName, 0), "Gain");
    EXPECT_EQ(effect.text(effGetParamName, 1), std::string(255, 'x'));
    EXPECT_EQ(effect.editRect(), nullptr);
}

TEST(RecordingHost, AnswersTheVersionAndRecordsOnlyWhatItIsAskedTo)
{
    hosting::RecordingHost host{audioMasterAutomate, audioMasterIdle};
    EXPECT_EQ(hosting::RecordingHost::callback(nullptr, audioMasterVersion, 0, 0, nullptr, 0), 2400);
    hosting::RecordingHost::callback(nullptr, audioMasterAutomate, 7, 0, nullptr, 0.25f);
    hosting::RecordingHost::callback(nullptr, audioMasterBeginEdit, 7, 0, nullptr, 0);
    hosting::RecordingHost::callback(nullptr, audioMasterIdle, 0, 0, nullptr, 0);

    EXPECT_TRUE(host.callsOf({audioMasterVersion, audioMasterBeginEdit}).empty());
    const std::vector<hosting::HostCall> calls = host.take({audioMasterAutomate, audioMasterIdle});
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].opcode, audioMasterAutomate);
    EXPECT_EQ(calls[0].index, 7);
    EXPECT_EQ(calls[0].opt, 0.25f);
    EXPECT_EQ(calls[1].opcode, audioMasterIdle);
    EXPECT_TRUE(host.callsOf({audioMasterAutomate, audioMasterIdle}).empty()) << "take forgets what it took";

    host.answerVersion(0);
    EXPECT_EQ(hosting::RecordingHost::callback(nullptr, audioMasterVersion, 0, 0, nullptr, 0), 0);
}

TEST(RecordingHost, RunsTheIdleStepAfterRecordingTheRequest)
{
    hosting::RecordingHost host;
    std::size_t recordedBeforeTheStep = 0;
    host.onIdle = [&] { recordedBeforeTheStep = host.callsOf({audioMasterIdle}).size(); };
    hosting::RecordingHost::callback(nullptr, audioMasterIdle, 0, 0, nullptr, 0);
    EXPECT_EQ(recordedBeforeTheStep, 1u);
}

TEST(RecordingHost, WithoutAHostTheCallbackIsTheQuietHost)
{
    for (int32_t opcode : {audioMasterVersion, audioMasterAutomate, audioMasterCanDo, audioMasterSizeWindow})
        EXPECT_EQ(hosting::RecordingHost::callback(nullptr, opcode, 0, 1, nullptr, 0),
                  hosting::quietHost(nullptr, opcode, 0, 1, nullptr, 0))
            << opcode;
    EXPECT_EQ(hosting::quietHost(nullptr, audioMasterVersion, 0, 0, nullptr, 0), 2400);
}

TEST(PluginLibrary, AMissingFileOrOneThatIsNoLibraryGivesAReasonAndNoEffect)
{
    const std::filesystem::path notALibrary = std::filesystem::temp_directory_path() / "tolvan-hosting-test.so";
    std::ofstream(notALibrary) << "not a library\n";
    for (const std::filesystem::path& path : {std::filesystem::path("/nonexistent/Tolvan.so"), notALibrary}) {
        const hosting::PluginLibrary library(path.string());
        EXPECT_FALSE(library.loaded()) << path;
        EXPECT_NE(library.error().find(path.filename().string()), std::string::npos) << library.error();
        EXPECT_EQ(library.hostEntry(), nullptr);
        EXPECT_EQ(library.create(), nullptr);
    }
    std::filesystem::remove(notALibrary);
}

}  // namespace
