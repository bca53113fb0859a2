// The plug-in as a host sees it: the entry point, the record, every opcode's answer and
// the host's bad input, driven only through the exported entry point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <utility>
#include <string>
#include <vector>

#include "tools/hosting/HostedEffect.h"
#include "tools/hosting/RecordingHost.h"

namespace {

class HostInterface : public ::testing::Test {
protected:
    hosting::PluginLibrary library{TOLVAN_PLUGIN_PATH};
    hosting::RecordingHost host;
};

TEST_F(HostInterface, EntryPointReturnsTheRecordUnderBothNames)
{
    ASSERT_TRUE(library.loaded());
    for (const char* name : {"VSTPluginMain", "main"}) {
        hosting::EntryPoint entry = library.entry(name);
        ASSERT_NE(entry, nullptr) << name;
        AEffect* effect = entry(hosting::RecordingHost::callback);
        ASSERT_NE(effect, nullptr) << name;
        EXPECT_EQ(effect->magic, 0x56737450);
        EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0), 1);
    }
    EXPECT_EQ(host.callsOf({audioMasterVersion}).size(), 2u);
}

TEST_F(HostInterface, HostWithoutVersionGetsNoEffect)
{
    host.answerVersion(0);
    EXPECT_EQ(library.entry()(hosting::RecordingHost::callback), nullptr);
    EXPECT_EQ(library.entry()(nullptr), nullptr);
}

TEST_F(HostInterface, RecordDescribesTheEffect)
{
    hosting::HostedEffect effect(library);
    ASSERT_NE(effect.get(), nullptr);
    EXPECT_EQ(effect->numPrograms, 8);
    EXPECT_EQ(effect->numParams, 41);
    EXPECT_EQ(effect->numInputs, 2);
    EXPECT_EQ(effect->numOutputs, 2);
    EXPECT_EQ(effect->flags, 0x11);
    EXPECT_EQ(effect->uniqueID, 0x69713731);
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->user, nullptr);
    EXPECT_NE(effect->object, nullptr);
    EXPECT_NE(effect->processReplacing, nullptr);
    EXPECT_NE(effect->processDoubleReplacing, nullptr);
    EXPECT_NE(effect->process, nullptr);
    for (char byte : effect->future) EXPECT_EQ(byte, 0);
}

TEST_F(HostInterface, IdentityAnswers)
{
    hosting::HostedEffect effect(library);
    EXPECT_EQ(effect.dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(effect.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(effect.dispatch(effGetVendorVersion), 1000);
    EXPECT_EQ(effect.dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(effect.text(effGetEffectName), "KR [Tolvan]");
    EXPECT_EQ(effect.text(effGetVendorString), "[Kelvo] Ormund.T");
    EXPECT_EQ(effect.text(effGetProductString), "Tolvan");
    char buffer[64];
    EXPECT_EQ(effect.dispatch(effGetEffectName, 0, 0, buffer), 1);
    char midi[] = "receiveVstMidiEvent";
    EXPECT_EQ(effect.dispatch(effCanDo, 0, 0, midi), 0);
    EXPECT_EQ(host.callsOf({audioMasterWantMidi}).size(), 0u);
}

TEST_F(HostInterface, FixedAnswersOfTheExtendedTable)
{
    hosting::HostedEffect effect(library);
    EXPECT_EQ(effect.dispatch(effGetChunk), 0);
    EXPECT_EQ(effect.dispatch(effSetChunk), 0);
    EXPECT_EQ(effect.dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(effect.dispatch(effSetTotalSampleToProcess, 0, 777), 777);
    EXPECT_EQ(effect.dispatch(effGetTailSize), 0);
    EXPECT_EQ(effect.dispatch(effString2Parameter), 0);
    for (int index : {0, 9, 40}) EXPECT_EQ(effect.dispatch(effCanBeAutomated, index), 1) << index;
    void* input = &effect;
    void* output = &effect;
    EXPECT_EQ(effect.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
    EXPECT_EQ(effect.dispatch(effGetSpeakerArrangement), 0);
}

TEST_F(HostInterface, EditorRectangleIsTheSkin)
{
    hosting::HostedEffect effect(library);
    ERect* rect = nullptr;
    ASSERT_EQ(effect.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 374);
    EXPECT_EQ(rect->right, 754);
    EXPECT_EQ(effect.dispatch(effEditGetRect), 0);
}

TEST_F(HostInterface, ClosedEditorIgnoresKeysAndIdle)
{
    hosting::HostedEffect effect(library);
    EXPECT_EQ(effect.dispatch(effEditIdle), 0);
    EXPECT_EQ(effect.dispatch(effEditKeyDown, 'a', 12, nullptr, 0), 0);
    EXPECT_EQ(effect.dispatch(effEditKeyUp, 'a', 12, nullptr, std::numeric_limits<float>::quiet_NaN()), 0);
    EXPECT_EQ(effect.dispatch(effEditClose), 0);
    EXPECT_EQ(effect.dispatch(effSetEditKnobMode, 0, 2), 1);
}

TEST_F(HostInterface, UnknownOpcodesAnswerZeroAndChangeNothing)
{
    hosting::HostedEffect effect(library);
    effect.set(27, 0.75f);
    char buffer[64] = "untouched";
    for (int opcode : {-1, -1000, 9, 16, 17, 18, 20, 21, 28, 30, 31, 32, 36, 37, 43, 46, 53, 54, 55, 57, 80, 1000}) {
        EXPECT_EQ(effect.dispatch(opcode, 3, 5, buffer, 1.0f), 0) << opcode;
    }
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(effect.get(27), 0.75f);
    EXPECT_EQ(effect.dispatch(effGetProgram), 0);
}

TEST_F(HostInterface, ParameterNamesOnlyForRowsNineOnwards)
{
    hosting::HostedEffect effect(library);
    for (int index = 0; index <= 8; ++index) EXPECT_EQ(effect.text(effGetParamName, index), "") << index;
    EXPECT_EQ(effect.text(effGetParamName, 9), "Bypass (local)");
    EXPECT_EQ(effect.text(effGetParamName, 20), "Frequency LowShelf");
    EXPECT_EQ(effect.text(effGetParamName, 40), "Q Balance");
}

// The display and label opcodes write into the host's 8 bytes: 7 characters and the
// terminator, never more, whatever the value.
struct HostParameterTexts {
    std::string display, label;
};

HostParameterTexts parameterTexts(hosting::HostedEffect& effect, int32_t index)
{
    HostParameterTexts texts;
    for (auto [opcode, text] :
         {std::pair{effGetParamDisplay, &texts.display}, std::pair{effGetParamLabel, &texts.label}}) {
        char buffer[24];
        std::memset(buffer, '#', sizeof buffer);
        effect.dispatch(opcode, index, 0, buffer);
        for (std::size_t i = 8; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], '#') << "index " << index << " byte " << i;
        EXPECT_LT(strnlen(buffer, 8), 8u) << "index " << index;
        *text = std::string(buffer, strnlen(buffer, 8));
    }
    return texts;
}

TEST_F(HostInterface, DisplayAndLabelShowTheRealValueAndItsUnit)
{
    hosting::HostedEffect effect(library);
    auto expectTexts = [&](int32_t index, const char* display, const char* label) {
        const HostParameterTexts texts = parameterTexts(effect, index);
        EXPECT_EQ(texts.display, display) << index;
        EXPECT_EQ(texts.label, label) << index;
    };
    expectTexts(22, "640", "Hz");
    expectTexts(23, "4.00", "kHz");
    expectTexts(25, "8.00", "kHz");
    expectTexts(10, "0.0", "dB");
    expectTexts(6, "60.0", "dB");
    expectTexts(35, "0.30", "");
    expectTexts(33, "0.70", "");
    expectTexts(13, "off", "");
    expectTexts(9, "on", "");
    expectTexts(8, "", "");
    effect.set(28, 1.0f / 3.0f);
    expectTexts(28, "-6.0", "dB");
    effect.set(39, 1.0f);
    expectTexts(39, "Edge", "");
    effect.set(13, 1.0f);
    expectTexts(13, "on", "");
    effect.set(19, 1.0f);
    expectTexts(19, "20.0", "kHz");
    // Every parameter at both ends of its range stays within the 8 bytes.
    for (float v : {0.0f, 1.0f}) {
        for (int32_t index = 0; index < 41; ++index) {
            if (index != 8) effect.set(index, v);
            parameterTexts(effect, index);
        }
    }
}

TEST_F(HostInterface, DefaultsAfterConstruction)
{
    hosting::HostedEffect effect(library);
    EXPECT_NEAR(effect.get(19), std::log(3.0) / std::log(1000.0), 1e-6);
    EXPECT_EQ(effect.get(9), 1.0f);
    EXPECT_EQ(effect.get(3), 1.0f);
    EXPECT_EQ(effect.get(4), 1.0f);
    EXPECT_EQ(effect.get(10), 0.5f);
    EXPECT_EQ(effect.get(27), 0.5f);
    for (int index = 11; index <= 18; ++index) EXPECT_EQ(effect.get(index), 0.0f) << index;
    EXPECT_EQ(effect.get(8), 0.0f);
    EXPECT_EQ(effect.get(1), 0.0f);
    EXPECT_EQ(effect.get(2), 0.0f);
}

TEST_F(HostInterface, ValuesAreStoredAsTheHostSentThem)
{
    hosting::HostedEffect effect(library);
    for (int index = 3; index < 41; ++index) {
        // Reset stores nothing; a switch keeps its state (SwitchesTest.cpp).
        if (index == 8 || index == 9 || (index >= 3 && index <= 4) || (index >= 11 && index <= 18)) continue;
        effect.set(index, 0.3125f);
        EXPECT_EQ(effect.get(index), 0.3125f) << index;
    }
    effect.set(1, 0.5f);
    effect.set(2, 0.5f);
    EXPECT_EQ(effect.get(1), 0.0f);
    EXPECT_EQ(effect.get(2), 0.0f);
}

// The host is outside our control: none of this may crash, corrupt state or write
// outside a buffer.
TEST_F(HostInterface, ParameterIndicesOutsideTheTable)
{
    hosting::HostedEffect effect(library);
    effect.set(0, 0.75f);
    effect.set(40, 0.25f);
    for (int index : {-1, 41, 42, 1000, -2147483647 - 1, 2147483647}) {
        effect.set(index, 1.0f);
        EXPECT_EQ(effect.get(index), 0.0f) << index;
        EXPECT_EQ(effect.dispatch(effCanBeAutomated, index), 0) << index;
        for (int opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay}) {
            EXPECT_EQ(effect.text(opcode, index), "") << index << " " << opcode;
        }
    }
    // The neighbours of the table's ends kept what they held.
    EXPECT_EQ(effect.get(0), 0.75f);
    EXPECT_EQ(effect.get(40), 0.25f);
}

TEST_F(HostInterface, NonFiniteValuesAreIgnoredAndOthersClamped)
{
    hosting::HostedEffect effect(library);
    effect.set(27, 0.25f);
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        effect.set(27, bad);
        EXPECT_EQ(effect.get(27), 0.25f);
    }
    effect.set(27, 7.0f);
    EXPECT_EQ(effect.get(27), 1.0f);
    effect.set(27, -3.0f);
    EXPECT_EQ(effect.get(27), 0.0f);
}

TEST_F(HostInterface, NullPointersForTextOpcodes)
{
    hosting::HostedEffect effect(library);
    for (int opcode : {effSetProgramName, effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName,
                       effGetProgramNameIndexed, effGetEffectName, effGetVendorString, effGetProductString, effCanDo,
                       effEditGetRect, effEditOpen}) {
        EXPECT_EQ(effect.dispatch(opcode, 1, 0, nullptr), 0) << opcode;
    }
    EXPECT_EQ(effect.text(effGetProgramName), "Default");
}

TEST_F(HostInterface, ProcessingRefusesMissingBuffersAndEmptyBlocks)
{
    hosting::HostedEffect effect(library);
    // A band that changes the signal, so that any processing would show in the outputs.
    effect.set(13, 1.0f);
    effect.set(28, 1.0f);
    std::vector<float> left(64, 0.5f), right(64, 0.5f);
    constexpr float sentinel = -123.0f;
    std::vector<float> outLeft(64, sentinel), outRight(64, sentinel);
    float* inputs[2] = {left.data(), right.data()};
    float* outputs[2] = {outLeft.data(), outRight.data()};
    float* missing[2] = {outLeft.data(), nullptr};
    effect->processReplacing(effect.get(), nullptr, outputs, 64);
    effect->processReplacing(effect.get(), inputs, nullptr, 64);
    effect->processReplacing(effect.get(), missing, outputs, 64);
    effect->processReplacing(effect.get(), inputs, missing, 64);
    effect->processReplacing(effect.get(), inputs, outputs, 0);
    effect->processReplacing(effect.get(), inputs, outputs, -5);
    double* doubles[2] = {nullptr, nullptr};
    effect->processDoubleReplacing(effect.get(), doubles, doubles, 64);
    effect->process(effect.get(), inputs, outputs, 64);
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(outLeft[i], sentinel) << i;
        ASSERT_EQ(outRight[i], sentinel) << i;
        ASSERT_EQ(left[i], 0.5f) << i;
    }
}

TEST_F(HostInterface, BadSampleRatesAndBlockSizesAreIgnored)
{
    // Two effects with a band on; one is offered bad rates and sizes, which it must
    // ignore, so that both keep filtering alike at their rate.
    hosting::HostedEffect offered(library), untouched(library);
    for (hosting::HostedEffect* e : {&offered, &untouched}) {
        e->set(14, 1.0f);
        e->set(29, 1.0f);
        e->dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f);
        e->dispatch(effSetBlockSize, 0, 512);
    }
    for (float rate : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                       1.0e30f, 0.5f, 1.0e7f}) {
        EXPECT_EQ(offered.dispatch(effSetSampleRate, 0, 0, nullptr, rate), 0);
    }
    for (intptr_t size : {intptr_t{0}, intptr_t{-1}, std::numeric_limits<intptr_t>::max()}) {
        EXPECT_EQ(offered.dispatch(effSetBlockSize, 0, size), 0);
    }
    std::vector<float> left(512), right(512);
    for (int i = 0; i < 512; ++i) {
        left[i] = std::sin(0.05f * static_cast<float>(i));
        right[i] = -left[i];
    }
    std::vector<float> offeredLeft(512), offeredRight(512), untouchedLeft(512), untouchedRight(512);
    float* inputs[2] = {left.data(), right.data()};
    float* offeredOut[2] = {offeredLeft.data(), offeredRight.data()};
    float* untouchedOut[2] = {untouchedLeft.data(), untouchedRight.data()};
    for (hosting::HostedEffect* e : {&offered, &untouched}) e->dispatch(effMainsChanged, 0, 1);
    offered->processReplacing(offered.get(), inputs, offeredOut, 512);
    untouched->processReplacing(untouched.get(), inputs, untouchedOut, 512);
    EXPECT_EQ(offeredLeft, untouchedLeft);
    EXPECT_EQ(offeredRight, untouchedRight);
    EXPECT_NE(offeredLeft, left);  // the band is really at work
}

TEST_F(HostInterface, CloseDeletesTheEffect)
{
    hosting::HostedEffect effect(library);
    EXPECT_EQ(effect.close(), 1);
}

}  // namespace
