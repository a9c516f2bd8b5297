// Mutated storage files: a valid file changed at random (bytes flipped, inserted, deleted,
// repeated, cut off) a few thousand times, with a fixed seed so that any failure repeats. Each
// mutation must load without a crash to profiles within their ranges, and the next save must
// write a well-formed file holding the profiles, keep the foreign content of a readable file and
// move an unreadable one aside unchanged.
#include "profiles/FCNumberSettingsProfiles.h"
#include "tests/framework/files/TempHostFolder.h"
#include "tests/profiles/StorageTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

namespace {

const char* const kSeed =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- shared -->\n"
    "<QZPluginSettings>\n"
    "  <Author>Vornholt</Author>\n"
    "  <QZOther a=\"1\"><Item name=\"x &amp; y\">text</Item></QZOther>\n"
    "  <QZPattern>\n"
    "    <NumberSettingsProfiles>\n"
    "      <NumberSettingsProfile CollectionIdx=\"1\" Name=\"Default Profile\" NumberStyle=\"0\" Formatting=\"4\" "
    "Steps=\"1\" StartAt=\"1\" MaxValuePtDiff=\"1\" ScorePartAssignment=\"0\" AlwaysEndOfRegion=\"1\" "
    "AlwaysStartOfSystem=\"0\" AlwaysEndOfSystem=\"0\" RestartDoubleBarline=\"0\" RestartFinalBarline=\"1\" "
    "RestartSolidBarline=\"0\" RestartRehearsalMark=\"0\" MaxItalics=\"1\" MaxOnFirst=\"0\"/>\n"
    "      <NumberSettingsProfile CollectionIdx=\"2\" Name=\"R\xc3\xb6misch\" NumberStyle=\"1\" Formatting=\"8\" "
    "Steps=\"2\" StartAt=\"3\"/>\n"
    "      <NumberSettingsProfile CollectionIdx=\"3\" Name=\"Letters\" NumberStyle=\"3\" Formatting=\"13\"/>\n"
    "    </NumberSettingsProfiles>\n"
    "  </QZPattern>\n"
    "</QZPluginSettings>\n";

// Bytes that matter to XML, and some that are not text at all.
const char kInteresting[] = "<>/=\"'&;!?-[] \n\t\r0123456789abcxyzQZN\xc3\xbc\xff\x80\x1a";

std::string Mutate(std::string bytes, std::mt19937& random) {
    const int steps = 1 + int(random() % 4);
    for (int step = 0; step < steps; ++step) {
        const size_t size = bytes.size();
        const size_t at = size ? random() % size : 0;
        const size_t span = 1 + random() % 24;
        switch (random() % 7) {
            case 0:  // replace one byte
                if (size) bytes[at] = char(random() % 256);
                break;
            case 1:  // insert an XML-ish byte
                bytes.insert(at, 1, kInteresting[random() % (sizeof kInteresting - 1)]);
                break;
            case 2:  // insert a zero byte
                bytes.insert(at, 1, '\0');
                break;
            case 3:  // delete a span
                bytes.erase(at, span);
                break;
            case 4:  // repeat a span
                bytes.insert(at, bytes.substr(at, span));
                break;
            case 5:  // cut off the end
                bytes.resize(at);
                break;
            default: {  // move a span elsewhere
                const std::string piece = bytes.substr(at, span);
                bytes.erase(at, span);
                bytes.insert(bytes.empty() ? 0 : random() % (bytes.size() + 1), piece);
                break;
            }
        }
    }
    return bytes;
}

// True when the bytes reach the XML library unchanged through the storage file's reading:
// valid UTF-8 without zero bytes, carriage returns or end-of-file marks.
bool ReadsUnchanged(const std::string& bytes) {
    const size_t size = bytes.size();
    for (size_t i = 0; i < size;) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead == 0 || lead == '\r' || lead == 0x1A) return false;
        size_t extra = 0;
        uint32_t code = lead, minimum = 0;
        if (lead >= 0x80) {
            if (lead >= 0xC2 && lead <= 0xDF)
                extra = 1, code = lead & 0x1F, minimum = 0x80;
            else if (lead >= 0xE0 && lead <= 0xEF)
                extra = 2, code = lead & 0x0F, minimum = 0x800;
            else if (lead >= 0xF0 && lead <= 0xF4)
                extra = 3, code = lead & 0x07, minimum = 0x10000;
            else
                return false;
        }
        if (i + extra >= size && extra > 0) return false;
        for (size_t k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = (code << 6) | (next & 0x3F);
        }
        if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += extra + 1;
    }
    return true;
}

bool InRange(const FCNumberSettingsProfile* p) {
    return p && p->GetNumberStyle() >= 0 && p->GetNumberStyle() < FCNumberSettingsProfile::kNumberStyleCount &&
           p->GetFormatting() >= 0 && p->GetFormatting() < FCNumberSettingsProfile::kFormattingCount &&
           p->GetSteps() >= 1 && p->GetSteps() <= 1000 && p->GetStartAt() >= 1 && p->GetStartAt() <= 1000 &&
           p->GetMaxValuePtDiff() >= 0 && p->GetMaxValuePtDiff() <= 3 && p->GetScorePartAssignment() >= 0 &&
           p->GetScorePartAssignment() <= 3 && (p->GetOptions() & ~0x1FF) == 0;
}

}  // namespace

TEST(StorageFuzz, MutatedFilesLoadSafelyAndTheNextSaveKeepsWhatIsNotOurs) {
    TempHostFolder folder;
    std::mt19937 random(20240611);
    const char* const file = FCNumberSettingsProfiles::kStorageFileName;
    const char* const aside = FCNumberSettingsProfiles::kUnreadableFileName;
    int readable = 0, movedAside = 0;
    for (int round = 0; round < 2000; ++round) {
        const std::string mutated = Mutate(kSeed, random);
        SCOPED_TRACE(::testing::Message() << "round " << round);
        folder.WriteBytes(file, mutated);
        std::filesystem::remove(folder.File(aside));

        FCNumberSettingsProfiles profiles;
        const int count = profiles.LoadProfiles();
        ASSERT_EQ(count, profiles.GetCount());
        for (int i = 0; i < count; ++i) ASSERT_TRUE(InRange(profiles.GetItemAt(i))) << mutated;
        ASSERT_TRUE(profiles.SaveProfiles()) << mutated;

        const std::string saved = folder.ReadBytes(file);
        tinyxml2::XMLDocument document;
        ASSERT_TRUE(storagetest::Parse(saved, &document)) << mutated;
        ASSERT_TRUE(storagetest::ProfileList(&document)) << mutated;
        FCNumberSettingsProfiles reloaded;
        ASSERT_EQ(reloaded.LoadProfiles(), count) << mutated;

        tinyxml2::XMLDocument original;
        if (storagetest::Parse(mutated, &original) && ReadsUnchanged(mutated)) {
            ++readable;
            ASSERT_FALSE(folder.Exists(aside)) << mutated;
            ASSERT_EQ(storagetest::ForeignContent(saved), storagetest::ForeignContent(mutated)) << mutated;
        } else if (folder.Exists(aside)) {
            ++movedAside;
            ASSERT_EQ(folder.ReadBytes(aside), mutated);
        }
    }
    // Both kinds of file occur often enough for the checks to mean something.
    EXPECT_GT(readable, 150);
    EXPECT_GT(movedAside, 200);
}
