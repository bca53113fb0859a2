// The control table, the value mappings and the display texts.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "effect/ControlTable.h"
#include "effect/DisplayFormats.h"
#include "effect/ParameterValues.h"
#include "effect/ProgramRecord.h"

namespace {

std::string formatted(StringConvert format, float value)
{
    char text[kDisplayTextSize];
    format(value, text);
    return text;
}

TEST(ControlTable, FortyOneRowsThenTheTerminator)
{
    int rows = 0;
    while (controlTable[rows].name != nullptr) ++rows;
    EXPECT_EQ(rows, kNumParameters);
    EXPECT_EQ(controlTable[kNumParameters].id, -1);
}

TEST(ControlTable, RowNumberIsTheParameterIdExceptGraphAndMeter)
{
    for (int row = 0; row < kNumParameters; ++row) {
        const int expected = (row == 1 || row == 2) ? 0 : row;
        EXPECT_EQ(controlTable[row].id, expected) << "row " << row;
    }
    EXPECT_EQ(controlTable[1].kind, KindGraph);
    EXPECT_EQ(controlTable[2].kind, KindMeter);
}

TEST(ControlTable, NamesAreExact)
{
    EXPECT_STREQ(controlTable[3].name, "PRE ");
    EXPECT_STREQ(controlTable[9].name, "Bypass (local)");
    EXPECT_STREQ(controlTable[21].name, "Frequency Peak0");
    EXPECT_STREQ(controlTable[23].name, "Frequency Peak2");
    EXPECT_STREQ(controlTable[28].name, "Gain Peak1");
    EXPECT_STREQ(controlTable[40].name, "Q Balance");
}

TEST(ControlTable, EveryKnobHasADisplayUnderItsFrame)
{
    for (int row = 0; row < kNumParameters; ++row) {
        const ControlDescriptor& d = controlTable[row];
        EXPECT_EQ(d.secondBitmap, -1);
        EXPECT_FALSE(d.showNameLabel);
        EXPECT_EQ(d.menuEntries, nullptr);
        if (d.kind != KindAnimKnob) {
            EXPECT_FALSE(d.hasValueDisplay) << d.name;
            EXPECT_EQ(d.format, nullptr) << d.name;
            continue;
        }
        EXPECT_TRUE(d.hasValueDisplay) << d.name;
        EXPECT_NE(d.format, nullptr) << d.name;
        const int expectedDy = d.bitmap == 11024 ? 52 : d.bitmap == 11022 ? 81 : 34;
        EXPECT_EQ(d.valueDy, expectedDy) << d.name;
        EXPECT_GE(d.defaultValue, d.minValue) << d.name;
        EXPECT_LE(d.defaultValue, d.maxValue) << d.name;
    }
}

TEST(ControlTable, QValuesAreSinglePrecisionWidened)
{
    EXPECT_EQ(findDescriptor(33).defaultValue, 0.699999988079071);
    EXPECT_EQ(findDescriptor(33).minValue, 0.10000000149011612);
    EXPECT_EQ(findDescriptor(33).maxValue, 0.800000011920929);
    EXPECT_EQ(findDescriptor(35).defaultValue, 0.30000001192092896);
    EXPECT_EQ(findDescriptor(40).minValue, 0.20000000298023224);
}

TEST(FindDescriptor, UnknownIdsLandOnTheDummyRow)
{
    for (int id : {1, 2, -1, 41, 1000}) {
        const ControlDescriptor& row = findDescriptor(id);
        EXPECT_EQ(&row, &controlTable[0]) << id;
    }
    EXPECT_STREQ(findDescriptor(19).name, "Frequency LowCut");
}

TEST(Mappings, LogarithmicFrequency)
{
    EXPECT_NEAR(normalizedToReal(0.5, 19), 20 * std::sqrt(1000.0), 1e-9);
    EXPECT_NEAR(realToNormalized(60, 19), std::log(3.0) / std::log(1000.0), 1e-12);
    EXPECT_NEAR(normalizedToReal(0, 19), 20, 1e-9);
    EXPECT_NEAR(normalizedToReal(1, 19), 20000, 1e-6);
    // Not clamped: a value outside 0..1 leaves the range.
    EXPECT_GT(normalizedToReal(1.5, 19), 20000);
}

TEST(Mappings, HalfStepFloorsToMultiplesOfHalf)
{
    EXPECT_EQ(normalizedToReal(0.5, 27), 0);
    EXPECT_EQ(normalizedToReal(0.51, 27), 0);
    EXPECT_EQ(normalizedToReal(0.52, 27), 0.5);
    EXPECT_EQ(normalizedToReal(1, 27), 18);
    EXPECT_EQ(normalizedToReal(0, 27), -18);
    EXPECT_EQ(normalizedToReal(0.5, 10), 0);
    // A value a hair below a multiple counts as that multiple.
    EXPECT_EQ(normalizedToReal(realToNormalized(4, 5), 5), 4);
    EXPECT_EQ(normalizedToReal(realToNormalized(60, 6), 6), 60);
    EXPECT_EQ(normalizedToReal(realToNormalized(20, 7), 7), 20);
}

TEST(Mappings, RoundToHalfStepRoundsHalvesAwayFromZero)
{
    EXPECT_EQ(roundToHalfStep(0.2), 0);
    EXPECT_EQ(roundToHalfStep(0.25), 0.5);
    EXPECT_EQ(roundToHalfStep(-0.25), -0.5);
    EXPECT_EQ(roundToHalfStep(-0.74), -0.5);
    EXPECT_EQ(roundToHalfStep(1.76), 2);
}

TEST(Mappings, RowsOfGraphAndMeterUseTheDummyRow)
{
    EXPECT_EQ(normalizedToReal(0.3, 1), 0.3);
    EXPECT_EQ(normalizedToReal(0.7, 2), 0.7);
}

TEST(Mappings, RoundTripEveryRow)
{
    for (int id = 3; id < kNumParameters; ++id) {
        if (id == 8 || isSwitchParameter(id)) continue;
        for (double v : {0.0, 0.25, 0.5, 1.0}) {
            const double real = normalizedToReal(v, id);
            if (findDescriptor(id).curve == Logarithmic || findDescriptor(id).curve == Linear) {
                EXPECT_NEAR(realToNormalized(real, id), v, 1e-12) << id;
            }
        }
    }
}

TEST(Mappings, SwitchesAreOnFromHalfAndKeepTheirState)
{
    for (int id = 0; id < kNumParameters; ++id) {
        EXPECT_EQ(isSwitchParameter(id), id == 3 || id == 4 || id == 9 || (id >= 11 && id <= 18)) << id;
    }
    for (int id : {3, 9, 13}) {
        EXPECT_EQ(normalizedToReal(0.0, id), 0) << id;
        EXPECT_EQ(normalizedToReal(0.49, id), 0) << id;
        EXPECT_EQ(normalizedToReal(0.5, id), 1) << id;
        EXPECT_EQ(normalizedToReal(1.0, id), 1) << id;
        EXPECT_EQ(storedValue(id, 0.3f), 0.0f) << id;
        EXPECT_EQ(storedValue(id, 0.7f), 1.0f) << id;
        EXPECT_EQ(storedValue(id, 3.0f), 1.0f) << id;
        EXPECT_EQ(storedValue(id, -3.0f), 0.0f) << id;
    }
    // Any other parameter keeps its value, brought into 0..1.
    EXPECT_EQ(storedValue(27, 0.3f), 0.3f);
    EXPECT_EQ(storedValue(27, 1.7f), 1.0f);
    EXPECT_EQ(storedValue(19, -0.2f), 0.0f);
}

TEST(Formats, DecibelThresholds)
{
    EXPECT_EQ(formatted(formatDecibels, 0), "0.0dB");
    EXPECT_EQ(formatted(formatDecibels, -18), "-18.0dB");
    EXPECT_EQ(formatted(formatDecibels, 4.5f), "4.5dB");
    EXPECT_EQ(formatted(formatDecibels, -161), "-oo dB");
    EXPECT_EQ(formatted(formatDecibels, 161), "oo dB");
    EXPECT_EQ(formatted(formatDecibels, 160), "160.0dB");
}

TEST(Formats, FrequencyThresholds)
{
    EXPECT_EQ(formatted(formatFrequency, 20), "20.0Hz");
    EXPECT_EQ(formatted(formatFrequency, 99.99f), "100.0Hz");
    EXPECT_EQ(formatted(formatFrequency, 100), "100Hz");
    EXPECT_EQ(formatted(formatFrequency, 1000), "1.00kHz");
    EXPECT_EQ(formatted(formatFrequency, 9999.9f), "10.00kHz");
    EXPECT_EQ(formatted(formatFrequency, 10000), "10.0kHz");
    EXPECT_EQ(formatted(formatFrequency, 20000), "20.0kHz");
}

TEST(Formats, NumberAndCutQ)
{
    EXPECT_EQ(formatted(formatNumber, 0), "0.00");
    EXPECT_EQ(formatted(formatNumber, 0.05f), "0.050");
    EXPECT_EQ(formatted(formatNumber, -0.5f), "-0.500");
    EXPECT_EQ(formatted(formatNumber, 0.1f), "0.10");
    EXPECT_EQ(formatted(formatNumber, 1), "1.0");
    EXPECT_EQ(formatted(formatNumber, 4), "4.0");
    EXPECT_EQ(formatted(formatNumber, 10), "10");
    EXPECT_EQ(formatted(formatCutQ, 0.7f), "0.70");
    EXPECT_EQ(formatted(formatCutQ, 0.789f), "0.79");
    EXPECT_EQ(formatted(formatCutQ, 0.79f), "Edge");
    EXPECT_EQ(formatted(formatCutQ, 0.8f), "Edge");
}

TEST(Formats, HugeValuesStayInsideTheBuffer)
{
    for (StringConvert format : {formatDecibels, formatFrequency, formatNumber, formatCutQ}) {
        for (float value : {3.0e38f, -3.0e38f, INFINITY, -INFINITY, NAN}) {
            char text[kDisplayTextSize + 8];
            std::fill(std::begin(text), std::end(text), '#');
            format(value, text);
            EXPECT_LT(std::char_traits<char>::length(text), kDisplayTextSize);
            for (std::size_t i = kDisplayTextSize; i < sizeof text; ++i) EXPECT_EQ(text[i], '#');
        }
    }
}

TEST(Programs, DefaultProgramHoldsTheTableDefaults)
{
    ProgramRecord program;
    initialiseProgram(program);
    EXPECT_STREQ(program.name, "Default");
    EXPECT_NEAR(program.values[19], std::log(3.0) / std::log(1000.0), 1e-12);
    EXPECT_EQ(program.values[27], 0.5);
    EXPECT_EQ(program.values[9], 1);
    EXPECT_EQ(program.values[0], 0);
    EXPECT_EQ(program.values[1], 0);
    EXPECT_EQ(program.values[2], 0);
    EXPECT_EQ(program.values[8], 0);
    for (int i = 11; i <= 18; ++i) EXPECT_EQ(program.values[i], 0) << i;
    // Every stored default maps back to the table's default.
    for (int i = 3; i < kNumParameters; ++i) {
        if (i == 8) continue;
        EXPECT_NEAR(normalizedToReal(program.values[i], i), findDescriptor(i).defaultValue, 1e-9) << i;
    }
}

}  // namespace
