// Reading MusicXML into the stand-in document: every element the import models comes out as the
// score text says it, and bad input gives one clear error with its line.
#include "simhost/ScoreText.h"
#include "simhost/musicxml/MusicXml.h"
#include "tests/musicxml/MusicXmlTestFiles.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

using namespace simhost;
using namespace musicxmltest;

namespace {}  // namespace

TEST(MusicXmlImport, NotesRestsChordsBeamsKeysAndBarlines) {
    EXPECT_EQ(CanonicalScoreText(R"(qzs 1
staff 1
part 1 staves=1
measure 1 key=G
s1: 4 G4 8 [A4 B4 4 r F#4
measure 2 bar=final
s1: 2. G4 4 <D5 B4>
)",
                                 Musical()),
              DocumentOf(ReadData("basic.musicxml")));
}

TEST(MusicXmlImport, PartsStavesVoicesAndMarkings) {
    // Two parts, the second a piano of two staves with two voices on its upper staff; the
    // articulation definitions are the host's defaults for the four kinds.
    EXPECT_EQ(CanonicalScoreText(R"(qzs 1
staff 1
staff 2
staff 3
part 1 staves=1
part 2 staves=2,3
category 1 "Dynamics"
text-expression 1 "A" rehearsal
text-expression 2 "^fontTxt(Times New Roman)^size(12)^nfx(2)dolce"
text-expression 3 "^fontMus(Maestro)^size(24)^nfx(0)F" desc="mf" category=1 category-font
text-expression 4 "^fontMus(Maestro)^size(24)^nfx(0)p" desc="p" category=1 category-font
text-expression 5 "^fontTxt(Times New Roman)^size(12)^nfx(0)rit."
articulation 1 char=46 mode=1 size=24 alt-size=24 B=-4 C=16 E=40 F=40 flags=0x0210 flags2=0x0021
articulation 2 char=45 mode=1 size=24 alt-size=24 C=14 D=-16 flags=0x0210 flags2=0x0001
articulation 3 char=62 alt=62 flipped=alt mode=1 size=24 alt-size=24 B=-4 C=14 D=-23 G=125 H=125 flags=0x1010 flags2=0x0008
articulation 4 char=94 alt=118 flipped=alt mode=5 size=24 alt-size=24 B=-8 C=16 D=-32 G=140 H=140 flags=0x1010 flags2=0x0008
measure 1 key=F
s1 expression 1
s1 expression 2
s1 expression 3
s1 chord 0 F
s1 chord 2048 C7/E
s1: 4 C5 {3:2 8 [D5 E5 F5} 2 G5~
s2: 2 <A4 C5>!art1!art3 8 [gBb4 4 A4!art1!art2 G4!art4
s2 L2: 1 F4
s3: 8 [F2 C3 A3 C3 [F2 C3 A3 C3
s3 cresc @0-2@1536
s1 slur 1-4
measure 2 3+2/8 bar=double
s1 expression 4 at=1536
s1 chord 0 Dm
s1: 4. G5 4 A5
s2: 4. F4 4 E4
s3: 8 [F2 A2 C3 4 C3
s1 slur 1-2 dashed
measure 3 4/4 bar=final
s1 expression 5
s1: 1 F5
s2: 1 <F4 A4 C5>
s3: 1 F2
s2 dim @0-@3072
)",
                                 Musical()),
              DocumentOf(ReadData("song.musicxml")));
}
