// Articulation definitions: both layouts, symbols, kinds, position modes, identity, and the
// definitions list that finds or creates them (the templates are compared as text where the
// articulations are added).
#include "framework/core/FCFontInfo.h"
#include "framework/entries/FCArticulationDef.h"
#include "framework/host/hostapi.h"
#include "framework/score/FCFontPrefs.h"
#include "simhost/Document.h"
#include "simhost/SimHost.h"
#include "tests/framework/entries/ScoreFixture.h"

#include <memory>

namespace {

const simhost::RecordStore::Bytes* Stored(uint16_t number) {
    const FXKey key = {{number, 0, 0, 0}};
    return simhost::CurrentDocument().Records().Find(FCArticulationDef::kTag, key);
}

int ByteAt(const simhost::RecordStore::Bytes* bytes, int offset) { return (*bytes)[size_t(offset)]; }

int WordAt(const simhost::RecordStore::Bytes* bytes, int offset) {
    return int16_t(uint16_t((*bytes)[size_t(offset)] | ((*bytes)[size_t(offset) + 1] << 8)));
}

void ArticulationFont(FCFontInfo* font) {
    font->SetName("Arial");
    font->SetSize(24);
    font->SetEffects(0);
}

std::unique_ptr<FCArticulationDef> Template(int kind) {
    std::unique_ptr<FCArticulationDef> definition(new FCArticulationDef);
    FCFontInfo font;
    ArticulationFont(&font);
    EXPECT_TRUE(definition->ApplyTemplate(kind, &font));
    return definition;
}

}  // namespace

TEST(ArticulationDef, LayoutFollowsTheHostVersion) {
    struct Row {
        uint32_t host, dataVersion, size;
        int mainSlot, mainSize, mainFont, mainEffects, altSlot, altSize, altFont, altEffects;  // byte offsets
        bool wide;  // slots and font numbers are words
        int flags1, flags2;
        int values[FCArticulationDef::kValueCount];
    } rows[] = {
        {0x10FFFFFF,
         0x0F000000,
         48,
         0,
         1,
         2,
         3,
         12,
         13,
         14,
         15,
         false,
         10,
         22,
         {16, 18, 20, 30, 40, 42, 44, 46, 28, 32, 34, 36, 38}},
        {0x11000000,
         0x11000000,
         60,
         0,
         8,
         4,
         6,
         12,
         28,
         16,
         26,
         true,
         10,
         24,
         {18, 20, 22, 32, 42, 44, 46, 48, 30, 34, 36, 38, 40}},
        {0x1B000000,
         0x11000000,
         60,
         0,
         8,
         4,
         6,
         12,
         28,
         16,
         26,
         true,
         10,
         24,
         {18, 20, 22, 32, 42, 44, 46, 48, 30, 34, 36, 38, 40}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.host);
        simhost::Reset();
        hostapi::SetHostVersion(row.host);
        FCArticulationDef definition;
        EXPECT_TRUE(definition.IsLoaded());
        EXPECT_EQ(definition.GetDataVersion(), row.dataVersion);
        definition.SetMainCharacter(200);
        definition.SetMainFontSize(24);
        definition.SetMainFontNumber(3);
        definition.SetMainFontEffects(2);
        definition.SetAlternateCharacter(60);
        definition.SetAlternateFontSize(18);
        definition.SetAlternateFontNumber(4);
        definition.SetAlternateFontEffects(1);
        definition.SetFlags1(0x1234);
        definition.SetFlags2(0x0021);
        for (int v = 0; v < FCArticulationDef::kValueCount; ++v)
            definition.SetValue(FCArticulationDef::Value(v), v % 2 ? -100 - v : 100 + v);
        ASSERT_TRUE(definition.SaveAs(5));

        const simhost::RecordStore::Bytes* bytes = Stored(5);
        ASSERT_NE(bytes, nullptr);
        EXPECT_EQ(bytes->size(), row.size);
        EXPECT_EQ(row.wide ? WordAt(bytes, row.mainSlot) : ByteAt(bytes, row.mainSlot), 200);
        EXPECT_EQ(ByteAt(bytes, row.mainSize), 24);
        EXPECT_EQ(row.wide ? WordAt(bytes, row.mainFont) : ByteAt(bytes, row.mainFont), 3);
        EXPECT_EQ(ByteAt(bytes, row.mainEffects), 2);
        EXPECT_EQ(row.wide ? WordAt(bytes, row.altSlot) : ByteAt(bytes, row.altSlot), 60);
        EXPECT_EQ(ByteAt(bytes, row.altSize), 18);
        EXPECT_EQ(row.wide ? WordAt(bytes, row.altFont) : ByteAt(bytes, row.altFont), 4);
        EXPECT_EQ(ByteAt(bytes, row.altEffects), 1);
        EXPECT_EQ(WordAt(bytes, row.flags1), 0x1234);
        EXPECT_EQ(WordAt(bytes, row.flags2), 0x0021);
        for (int v = 0; v < FCArticulationDef::kValueCount; ++v)
            EXPECT_EQ(WordAt(bytes, row.values[v]), v % 2 ? -100 - v : 100 + v) << char('A' + v);

        FCArticulationDef loaded;
        ASSERT_TRUE(loaded.Load(5));
        EXPECT_EQ(loaded.GetMainCharacter(), 200);
        EXPECT_EQ(loaded.GetMainFontSize(), 24);
        EXPECT_EQ(loaded.GetAlternateFontNumber(), 4);
        EXPECT_EQ(loaded.GetValue(FCArticulationDef::kValueM), 112);
        EXPECT_TRUE(loaded.IsIdenticalTo(&definition, true, true, true, true));
        // In the old layout a character and the size share their word without disturbing each other.
        loaded.SetMainCharacter(300);
        EXPECT_EQ(loaded.GetMainCharacter(), row.wide ? 300 : 300 & 0xFF);
        EXPECT_EQ(loaded.GetMainFontSize(), 24);
    }
}

TEST(ArticulationDef, SymbolsComeFromTheSlotsTheSelectorsChoose) {
    struct Row {
        uint16_t selectors;
        bool mainShape, alternateShape;
        int mainSymbol, flippedSymbol;
        bool usesShape;
    } rows[] = {
        {0, false, false, 46, 46, false},
        {FCArticulationDef::kMainUsesAlternate, false, false, 60, 46, false},
        {FCArticulationDef::kFlippedUsesAlternate, false, false, 46, 60, false},
        {FCArticulationDef::kMainUsesAlternate | FCArticulationDef::kFlippedUsesAlternate, false, false, 60, 60, false},
        {0, true, false, 0, 0, true},  // a shape reads as character 0
        {FCArticulationDef::kMainUsesAlternate | FCArticulationDef::kFlippedUsesAlternate, true, false, 60, 60, false},
        {FCArticulationDef::kFlippedUsesAlternate, false, true, 46, 0, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.selectors);
        FCArticulationDef definition;
        if (row.mainShape)
            definition.SetMainShape(46);
        else
            definition.SetMainCharacter(46);
        if (row.alternateShape)
            definition.SetAlternateShape(60);
        else
            definition.SetAlternateCharacter(60);
        definition.SetFlags1(row.selectors);
        EXPECT_EQ(definition.GetMainSlot(), 46);
        EXPECT_EQ(definition.GetMainSymbolChar(), row.mainSymbol);
        EXPECT_EQ(definition.GetFlippedSymbolChar(), row.flippedSymbol);
        EXPECT_EQ(definition.UsesShape(), row.usesShape);
    }
    // Symbols are written into the slot their selector chooses.
    FCArticulationDef definition;
    definition.SetFlags1(FCArticulationDef::kFlippedUsesAlternate);
    definition.SetMainSymbolChar(248);
    definition.SetFlippedSymbolChar(60);
    EXPECT_EQ(definition.GetMainSlot(), 248);
    EXPECT_EQ(definition.GetAlternateSlot(), 60);
    definition.SetAlternateShape(7);
    EXPECT_TRUE(definition.IsAlternateShape());
    definition.SetFlippedSymbolChar(60);
    EXPECT_FALSE(definition.IsAlternateShape());
}

TEST(ArticulationDef, KindsAreRecognisedByTheMainSlot) {
    struct Row {
        int slot;
        bool shape;
        uint16_t selectors;
        const char* kinds;  // staccato, tenuto, accent, grave accent
    } rows[] = {
        {46, false, 0, "1000"},
        {45, false, 0, "0100"},
        {62, false, 0, "0010"},
        {94, false, 0, "0001"},
        {248, false, 0, "1100"},
        {249, false, 0, "1010"},
        {172, false, 0, "1001"},
        {138, false, 0, "0110"},
        {60, false, 0, "0000"},
        {118, false, 0, "0000"},
        {46, true, 0, "0000"},  // a shape numbered 46
        // The slot itself counts, not the symbol the selector makes of it.
        {62, false, FCArticulationDef::kMainUsesAlternate, "0010"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.slot);
        FCArticulationDef definition;
        if (row.shape)
            definition.SetMainShape(row.slot);
        else
            definition.SetMainCharacter(row.slot);
        definition.SetAlternateCharacter(46);
        definition.SetFlags1(row.selectors);
        std::string kinds;
        for (int kind = 0; kind < FCArticulationDef::kKindCount; ++kind)
            kinds += definition.CountsAsKind(kind) ? '1' : '0';
        EXPECT_EQ(kinds, row.kinds);
        EXPECT_EQ(definition.CountsAsAnyKind(), kinds != "0000");
        EXPECT_FALSE(definition.CountsAsKind(4));
    }
    for (int c : {45, 46, 62, 94, 138, 172, 248, 249}) EXPECT_TRUE(FCArticulationDef::IsHandledCharacter(c)) << c;
    for (int c : {0, 60, 118, 137, 223, 232, 47}) EXPECT_FALSE(FCArticulationDef::IsHandledCharacter(c)) << c;
}

TEST(ArticulationDef, PositionModesUseTheirCodes) {
    struct Row {
        int mode;
        int code;  // low four bits
    } rows[] = {{1, 12}, {2, 8}, {3, 9}, {4, 11}, {5, 10}};
    for (const Row& row : rows) {
        FCArticulationDef definition;
        definition.SetFlags1(0x2000);
        definition.SetPositionMode(row.mode);
        EXPECT_EQ(definition.GetFlags1(), 0x2000 | row.code) << row.mode;
        EXPECT_EQ(definition.GetPositionMode(), row.mode);
        definition.SetPositionMode(0);
        EXPECT_EQ(definition.GetPositionMode(), 0);
        EXPECT_EQ(definition.GetFlags1(), 0x2000 | (row.code & 7));  // only bit 0x8 is cleared
    }
    FCArticulationDef definition;
    definition.SetFlags1(0x000F);  // 0x8 with a code that is no mode
    EXPECT_EQ(definition.GetPositionMode(), -1);
    definition.SetPositionMode(6);
    EXPECT_EQ(definition.GetFlags1(), 0x000F);
}

TEST(ArticulationDef, IdentityComparesWhatIsAsked) {
    typedef void (*Change)(FCArticulationDef*);
    struct Row {
        const char* what;
        Change change;
        // Identical with: nothing further, playback, positions, B flags, position mode compared.
        const char* identical;
    } rows[] = {
        {"a copy", [](FCArticulationDef*) {}, "11111"},
        {"another main character", [](FCArticulationDef* d) { d->SetMainCharacter(45); }, "00000"},
        {"a shape of the same number", [](FCArticulationDef* d) { d->SetMainShape(46); }, "00000"},
        {"another alternate character", [](FCArticulationDef* d) { d->SetAlternateCharacter(1); }, "00000"},
        {"another font size", [](FCArticulationDef* d) { d->SetAlternateFontSize(12); }, "00000"},
        {"another font", [](FCArticulationDef* d) { d->SetMainFontNumber(9); }, "00000"},
        {"the flipped selector", [](FCArticulationDef* d) { d->SetFlags1Bits(0x4000, true); }, "00000"},
        {"flag 0x1000", [](FCArticulationDef* d) { d->SetFlags1Bits(0x1000, true); }, "00000"},
        {"flag 0x0200", [](FCArticulationDef* d) { d->SetFlags1Bits(0x0200, false); }, "00000"},
        {"the definition flag", [](FCArticulationDef* d) { d->SetFlags1Bits(0x8000, true); }, "00000"},
        {"a playback value", [](FCArticulationDef* d) { d->SetValue(FCArticulationDef::kValueE, 50); }, "10111"},
        {"a playback switch", [](FCArticulationDef* d) { d->SetFlags2Bits(0x0040, true); }, "10111"},
        {"another playback pair", [](FCArticulationDef* d) { d->SetValue(FCArticulationDef::kValueM, 3); }, "10111"},
        {"position C", [](FCArticulationDef* d) { d->SetValue(FCArticulationDef::kValueC, 3); }, "11011"},
        {"position I", [](FCArticulationDef* d) { d->SetValue(FCArticulationDef::kValueI, 3); }, "11011"},
        {"flag B 0x0080", [](FCArticulationDef* d) { d->SetFlags1Bits(0x0080, true); }, "11101"},
        {"flag B 0x0001 of word 2", [](FCArticulationDef* d) { d->SetFlags2Bits(0x0001, false); }, "11101"},
        {"the position mode", [](FCArticulationDef* d) { d->SetPositionMode(2); }, "11110"},
        {"position D", [](FCArticulationDef* d) { d->SetValue(FCArticulationDef::kValueD, 3); }, "11011"},
    };
    std::unique_ptr<FCArticulationDef> base = Template(FCArticulationDef::kStaccato);
    base->SetAlternateCharacter(60);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::unique_ptr<FCArticulationDef> other(static_cast<FCArticulationDef*>(base->Clone()));
        row.change(other.get());
        std::string identical;
        identical += base->IsIdenticalTo(other.get(), false, false, false, false) ? '1' : '0';
        identical += base->IsIdenticalTo(other.get(), true, false, false, false) ? '1' : '0';
        identical += base->IsIdenticalTo(other.get(), false, true, false, false) ? '1' : '0';
        identical += base->IsIdenticalTo(other.get(), false, false, true, false) ? '1' : '0';
        identical += base->IsIdenticalTo(other.get(), false, false, false, true) ? '1' : '0';
        EXPECT_EQ(identical, row.identical);
        EXPECT_EQ(other->IsIdenticalTo(base.get(), false, false, false, false), identical[0] == '1');
    }
    EXPECT_TRUE(base->IsIdenticalTo(base.get(), true, true, true, true));
    EXPECT_FALSE(base->IsIdenticalTo(nullptr, false, false, false, false));
}

TEST(ArticulationDefs, TheHandledListHoldsCharactersTheTasksKnow) {
    LoadScore(R"(qzs 1
articulation 2 char=46 mode=1 font="Arial" size=24 alt-font="Arial" alt-size=24 B=-4 C=16 E=40 F=40 flags=0x0210 flags2=0x0021
articulation 3 shape=46
articulation 4 char=60
articulation 5 char=45
articulation 7 char=60 alt=248 main=alt
articulation 8 char=46 alt-shape=2 flipped=alt
)");
    const FXKey key = {{FCFontPrefs::kArticulationFont, 0, 0, 0}};
    const uint8_t font[6] = {2, 0, 14, 0, 1, 0};  // Arial, 14, effects 1
    ASSERT_TRUE(hostapi::FX_SaveEData(FCFontPrefs::kTag, &key, font, sizeof font, 0x12050000));
    FCArticulationDefs definitions;
    FCFontInfo articulationFont;
    EXPECT_EQ(definitions.LoadAllHandled(&articulationFont), 3);
    EXPECT_EQ(definitions.GetItemAt(0)->GetItemNo(), 2);
    EXPECT_EQ(definitions.GetItemAt(1)->GetItemNo(), 5);
    EXPECT_EQ(definitions.GetItemAt(2)->GetItemNo(), 7);
    EXPECT_STREQ(articulationFont.GetName(), "Arial");
    EXPECT_EQ(articulationFont.GetSize(), 14.0f);
    EXPECT_EQ(articulationFont.GetEffects(), 1);

    // A missing definition 1 does not hide the others.
    FCArticulationDefs all;
    EXPECT_EQ(all.LoadAll(), 6);
}

TEST(ArticulationDefs, FindOrCreateReusesAndCreatesOnce) {
    LoadScore(R"(qzs 1
articulation 2 char=46 mode=1 font="Arial" size=24 alt-font="Arial" alt-size=24 B=-4 C=16 E=40 F=40 flags=0x0210 flags2=0x0021
articulation 5 char=45 mode=1 font="Arial" size=24 alt-font="Arial" alt-size=24 C=20 D=-16 flags=0x0290 flags2=0x0001
)");
    FCArticulationDefs definitions;
    ASSERT_EQ(definitions.LoadAllHandled(nullptr), 2);
    const int stored = simhost::CurrentDocument().Records().Count(FCArticulationDef::kTag);
    struct Row {
        int kind;
        int number;  // of the definition received
        int created;
    } rows[] = {
        {FCArticulationDef::kStaccato, 2, 0},  // identical
        {FCArticulationDef::kTenuto, 5, 0},    // the same but for a B flag and its positions
        {FCArticulationDef::kAccent, 6, 1},    // none: created with the next free number
        {FCArticulationDef::kAccent, 6, 1},    // and found the second time
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.kind);
        std::unique_ptr<FCArticulationDef> candidate = Template(row.kind);
        std::unique_ptr<FCArticulationDef> found(definitions.FindOrCreateDefinition(candidate.get()));
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->GetItemNo(), row.number);
        EXPECT_TRUE(found->IsIdenticalTo(candidate.get(), false, false, false, true));
        EXPECT_EQ(simhost::CurrentDocument().Records().Count(FCArticulationDef::kTag), stored + row.created);
        EXPECT_EQ(definitions.GetCount(), 2 + row.created);
        // The caller's copy is its own.
        EXPECT_EQ(definitions.GetIndexOf(found.get()), -1);
    }
    EXPECT_EQ(definitions.FindOrCreateDefinition(nullptr), nullptr);

    // A failed creation still gives a copy, but no number to refer to and nothing kept.
    for (bool reportsKey : {true, false}) {
        SCOPED_TRACE(reportsKey);
        simhost::SetFailing("FX_CreateEData", reportsKey);
        simhost::SetCreateReportsKey(reportsKey);
        std::unique_ptr<FCArticulationDef> candidate = Template(FCArticulationDef::kGraveAccent);
        std::unique_ptr<FCArticulationDef> found(definitions.FindOrCreateDefinition(candidate.get()));
        ASSERT_NE(found, nullptr);
        EXPECT_EQ(found->GetItemNo(), 0xFFFF);
        EXPECT_EQ(definitions.GetCount(), 3);
    }
}
