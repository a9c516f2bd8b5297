#include "framework/core/FCString.h"

#include "framework/host/hostapi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Stores the document's general preferences with the given measurement unit.
void SetDocumentUnit(int16_t unit) {
    FXKey key{{1, 0, 0, 0}};
    uint8_t prefs[66] = {0};
    std::memcpy(prefs + 30, &unit, 2);
    ASSERT_NE(hostapi::FX_SaveEData(FXTag('p', 'f', 'g', 'p'), &key, prefs, 66, 0x0D000000), 0);
}

std::string Text(FCString& s) { return std::string(s.GetCString(), size_t(s.GetLength())); }

}  // namespace

TEST(FCStringMeasurement, EVPUsAreWrittenInEveryUnitWithTrimmedDecimals) {
    const struct {
        double evpus;
        int unit;
        const char* text;
    } cases[] = {
        {288, 1, "288"},      {-5, 1, "-5"},    {10.5, 1, "10.5"}, {10.129, 1, "10.12"},  // cut, not rounded
        {432, 2, "1.5"},      {288, 2, "1"},    {1, 2, "0.00347"}, {0, 2, "0"},          {226.8, 3, "2.00025"},
        {113.385827, 3, "1"}, {10, 4, "2.5"},   {1, 4, "0.25"},    {60, 5, "1p3"},       {48, 5, "1p0"},
        {61, 5, "1p3.25"},    {-60, 5, "-1p3"}, {30, 5, "0p7.5"},  {36, 6, "1.5"},       {8, 6, "0.33333"},
        {100, 7, ""},         {100, -1, ""},
    };
    for (const auto& c : cases) {
        FCString s("old");
        s.SetMeasurement(c.evpus, c.unit);
        EXPECT_EQ(Text(s), c.text) << c.evpus << " in unit " << c.unit;
    }
}

TEST(FCStringMeasurement, UnitZeroWritesInTheDocumentsUnit) {
    FCString s;
    s.SetMeasurement(432, 0);
    EXPECT_EQ(Text(s), "432");  // no preferences stored: EVPUs

    SetDocumentUnit(2);
    s.SetMeasurement(432, 0);
    EXPECT_EQ(Text(s), "1.5");
    SetDocumentUnit(5);
    s.SetMeasurement(60, 0);
    EXPECT_EQ(Text(s), "1p3");
}

TEST(FCStringMeasurement, TextIsReadInTheUnitOfItsSuffixOrTheGivenUnit) {
    SetDocumentUnit(6);
    const struct {
        const char* text;
        int unit;
        double evpus;
    } cases[] = {
        {"1,5in", 0, 432},    {"1,5in", 1, 432},  {"3p6", 5, 168},   {"2 cm", 1, 226.8},    {"10", 1, 10},
        {"10", 0, 240},       {"10", 2, 2880},    {"10", 3, 1134},   {"10", 4, 40},         {"10", 5, 480},
        {"10", 6, 240},       {"10", 7, 0},       {"10", -1, 0},     {"5mm", 1, 56.7},      {"5 millimeters", 1, 56.7},
        {"2 EVPUs", 2, 2},    {"2 evpus", 2, 2},  {"2e", 2, 2},      {"2 EVPUs.", 2, 2},    {"1 inch", 1, 288},
        {"1 inches", 1, 288}, {"1in.", 1, 288},   {"1i", 1, 288},    {"1''", 1, 288},       {"1 centimeters", 1, 113.4},
        {"1c", 1, 113.4},     {"3pt", 1, 12},     {"3 pts", 1, 12},  {"3 points", 1, 12},   {"3pt.", 1, 12},
        {"2p", 1, 96},        {"2 picas", 1, 96}, {"1p6", 5, 72},    {"0p6", 5, 24},        {"2sp", 1, 48},
        {"2 spaces", 1, 48},  {"2s", 1, 48},      {"  3 \t", 4, 12}, {"2 IN", 1, 2},  // suffixes are case-sensitive
        {"abc", 1, 0},        {"", 2, 0},         {"in", 1, 0},      {"-1,25 in", 1, -360},
    };
    for (const auto& c : cases) {
        FCString s(c.text);
        EXPECT_DOUBLE_EQ(s.GetMeasurement(c.unit), c.evpus) << "'" << c.text << "' unit " << c.unit;
        EXPECT_EQ(Text(s), c.text);  // read from a copy
    }
}

TEST(FCStringMeasurement, WrittenMeasurementsReadBackInTheSameUnit) {
    for (int unit = 1; unit <= 6; ++unit) {
        for (double evpus : {0.0, 24.0, 60.0, 144.0, 1000.0}) {
            FCString s;
            s.SetMeasurement(evpus, unit);
            // Centimeters are read at 113.4 EVPUs each but written at the exact 113.3858.
            const double tolerance = unit == 3 ? 0.01 + evpus * 0.0002 : 0.01;
            EXPECT_NEAR(s.GetMeasurement(unit), evpus, tolerance) << evpus << " in unit " << unit << ": " << Text(s);
        }
    }
}
