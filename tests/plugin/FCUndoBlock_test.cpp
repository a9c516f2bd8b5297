// Running a handler inside one named host edit: the edit's name, 8-bit or UTF-16 by host version,
// kept as one undo entry when the handler changed something and discarded otherwise.
#include "plugin/FCUndoBlock.h"

#include "framework/core/FCString.h"
#include "framework/markings/FCCategoryDef.h"
#include "plugin/__FCUndoBlockHandler.h"
#include "simhost/Document.h"
#include "simhost/SimHost.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

namespace {

// Writes a category record when asked to change the document; notes what it saw while running.
class RecordingHandler : public __FCUndoBlockHandler {
public:
    bool Execute() override {
        ++calls;
        block = GetUndoBlock();
        running = block && block->IsRunning();
        editOpen = simhost::CurrentDocument().IsEditOpen();
        if (!change) return false;
        FCCategoryDef category;
        category.SetCategoryType(4);
        return category.SaveAs(12);
    }

    bool change = false;
    int calls = 0;
    FCUndoBlock* block = nullptr;
    bool running = false;
    bool editOpen = false;
};

std::vector<std::u16string> UndoList() { return simhost::CurrentDocument().UndoList(); }

bool CategoryExists() {
    FCCategoryDef category;
    return category.Load(12);
}

}  // namespace

TEST(UndoBlock, ChangesBecomeOneNamedUndoEntryAndNothingChangedLeavesNoEntry) {
    FCString name("Reorder Notes");
    for (bool change : {false, true}) {
        SCOPED_TRACE(change);
        simhost::Reset();
        RecordingHandler handler;
        handler.change = change;
        FCUndoBlock block;
        EXPECT_EQ(change, block.Run(&handler, &name));
        EXPECT_EQ(1, handler.calls);
        EXPECT_EQ(&block, handler.block);
        EXPECT_TRUE(handler.running);
        EXPECT_TRUE(handler.editOpen);
        EXPECT_FALSE(block.IsRunning());
        EXPECT_EQ(nullptr, handler.GetUndoBlock());
        EXPECT_FALSE(simhost::CurrentDocument().IsEditOpen());
        EXPECT_EQ(change ? std::vector<std::u16string>{u"Reorder Notes"} : std::vector<std::u16string>{}, UndoList());
        EXPECT_EQ(change, CategoryExists());
    }
    // The entry undoes the whole change.
    ASSERT_TRUE(simhost::CurrentDocument().Undo());
    EXPECT_FALSE(CategoryExists());
}

TEST(UndoBlock, EditNameIsCutTo63CharactersAndTakesTheHostsCharacterSize) {
    const std::u16string long70 =
        u"An edit name of seventy characters, \u00e9\u00e8 and \u20ac, which is longer than 63!";
    ASSERT_EQ(70u, long70.size());
    struct Row {
        const char* what;
        uint32_t hostVersion;
        const char* withdrawn;  // the call the other host generation would use
        std::u16string name;
        std::u16string expected;
    };
    const Row rows[] = {
        {"UTF-16 host", 0x11000000, "FX_StartFinaleEdit", long70, long70.substr(0, 63)},
        {"8-bit host", 0x10FFFFFF, "FX_StartFinaleEdit_UTF16", u"Caf\u00e9 \u20ac", u"Caf\u00e9 \u00ac"},
        {"exactly 63", 0x1B000000, "FX_StartFinaleEdit", long70.substr(0, 63), long70.substr(0, 63)},
        {"a pair of units is not split", 0x1B000000, "FX_StartFinaleEdit", long70.substr(0, 62) + u"\U0001D11E" + u"x",
         long70.substr(0, 62)},
        {"empty", 0x1B000000, "FX_StartFinaleEdit", u"", u""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        simhost::Reset();
        hostapi::SetLookup(nullptr);
        hostapi::SetHostVersion(row.hostVersion);
        simhost::SetWithdrawn(row.withdrawn);
        FCString name;
        name.SetUTF16(row.name.c_str(), int(row.name.size()));
        RecordingHandler handler;
        handler.change = true;
        FCUndoBlock block;
        EXPECT_TRUE(block.Run(&handler, &name));
        ASSERT_EQ(1u, UndoList().size());
        EXPECT_TRUE(row.expected == UndoList()[0]);
        EXPECT_EQ(int(row.name.size()), name.GetLength()) << "the caller's name is left as it was";
    }
}

TEST(UndoBlock, NothingRunsWithoutHandlerNameOrAnOpenedEdit) {
    FCString name("Slurs");
    RecordingHandler handler;
    handler.change = true;
    FCUndoBlock block;
    EXPECT_FALSE(block.Run(nullptr, &name));
    EXPECT_FALSE(block.Run(&handler, nullptr));
    EXPECT_EQ(0, handler.calls);

    // A host that refuses the edit: the handler is not run and is left unlinked.
    simhost::SetFailing("FX_StartFinaleEdit_UTF16");
    EXPECT_FALSE(block.Run(&handler, &name));
    EXPECT_EQ(0, handler.calls);
    EXPECT_EQ(nullptr, handler.GetUndoBlock());
    EXPECT_FALSE(block.IsRunning());
    EXPECT_TRUE(UndoList().empty());

    // An edit already open (edits never nest) is refused the same way.
    simhost::SetFailing("FX_StartFinaleEdit_UTF16", false);
    ASSERT_TRUE(simhost::CurrentDocument().StartEdit(u"outer"));
    EXPECT_FALSE(block.Run(&handler, &name));
    EXPECT_EQ(0, handler.calls);
}

TEST(UndoBlock, AHostThatCannotCommitTheEditGetsItCancelledAndNoSuccessReported) {
    FCString name("Break");
    simhost::SetFailing("FX_EndFinaleEdit");
    RecordingHandler handler;
    handler.change = true;
    FCUndoBlock block;
    EXPECT_FALSE(block.Run(&handler, &name));
    EXPECT_FALSE(simhost::CurrentDocument().IsEditOpen());
    EXPECT_FALSE(CategoryExists());
    EXPECT_TRUE(UndoList().empty());
}

// Without the host's cancel an edit that changes nothing, or whose commit fails, could only be
// left open: the handler is not run at all, whatever else the host offers.
TEST(UndoBlock, AHostThatCannotCancelAnEditRunsNothing) {
    const char* const withdrawn[][2] = {
        {"FX_CancelFinaleEdit", nullptr},
        {"FX_CancelFinaleEdit", "FX_EndFinaleEdit"},
    };
    for (const auto& names : withdrawn) {
        SCOPED_TRACE(names[1] ? "neither" : "no cancel");
        simhost::Reset();
        hostapi::SetLookup(simhost::Lookup);
        hostapi::SetHostVersion(0x1B000000);
        for (const char* name : names) simhost::SetWithdrawn(name);
        FCString name("Hairpins");
        RecordingHandler handler;
        handler.change = true;
        FCUndoBlock block;
        EXPECT_FALSE(block.Run(&handler, &name));
        EXPECT_EQ(0, handler.calls);
        EXPECT_FALSE(simhost::CurrentDocument().IsEditOpen());
        EXPECT_FALSE(CategoryExists());
        EXPECT_TRUE(UndoList().empty());
    }
}

// A task that throws half way through: what it wrote is taken back with the edit and nothing
// reaches the caller (the host's message loop).
TEST(UndoBlock, ATaskThatThrowsLeavesTheDocumentAsItWas) {
    struct Throwing : RecordingHandler {
        bool Execute() override {
            RecordingHandler::Execute();
            throw std::bad_alloc();
        }
    };
    FCString name("Slurs");
    Throwing handler;
    handler.change = true;
    FCUndoBlock block;
    EXPECT_FALSE(block.Run(&handler, &name));
    EXPECT_EQ(1, handler.calls);
    EXPECT_FALSE(block.IsRunning());
    EXPECT_FALSE(simhost::CurrentDocument().IsEditOpen());
    EXPECT_FALSE(CategoryExists());
    EXPECT_TRUE(UndoList().empty());
}
