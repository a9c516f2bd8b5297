// A tree view: FCCtrlTree owns a root FCTreeNode whose children are the top-level nodes; each
// FCTreeNode owns its child nodes. A node carries a text, a 32-bit value the caller chooses and
// its native item while the tree is on screen.
#pragma once

#include "framework/core/FCString.h"
#include "framework/core/__FCCollection.h"
#include "framework/ui/FCControl.h"

#include <cstdint>

class FCCtrlTree;

class FCTreeNode : public __FCCollection {
public:
    FCTreeNode();

    FC_CLASS_INFO(FCTreeNode)

    void GetText(FCString* text) const;
    const FCString* GetTextString() const { return &text_; }
    // Sets the text, and the native item's when the tree is on screen.
    void SetText(const FCString* text);
    uint32_t GetData() const { return data_; }
    void SetData(uint32_t data) { data_ = data; }
    bool IsTopLevel() const { return topLevel_; }
    bool IsSelected() const { return selected_; }
    FCCtrlTree* GetTree() const { return tree_; }
    // The node (or the tree's root) whose children hold this node; not owned.
    __FCCollection* GetParentCollection() const { return parent_; }
    FCTreeNode* GetChildAt(int i) const { return ItemAs<FCTreeNode>(i); }

    // Kept by the tree.
    void* GetNativeItem() const { return nativeItem_; }
    void SetNativeItem(void* item) { nativeItem_ = item; }
    void Attach(FCCtrlTree* tree, __FCCollection* parent, bool topLevel);
    void SetSelectedFlag(bool selected) { selected_ = selected; }
    void StoreText(const FCString* text) { text_.SetString(text); }

private:
    FCString text_;
    uint32_t data_;
    void* nativeItem_;
    FCCtrlTree* tree_;
    __FCCollection* parent_;
    bool topLevel_;
    bool selected_;
};

class FCCtrlTree : public FCControl {
public:
    explicit FCCtrlTree(int id);

    FC_CLASS_INFO(FCCtrlTree)

    int GetControlType() const override { return kTypeTree; }
    int GetDefaultWidth() const override { return 150; }
    int GetDefaultHeight() const override { return 170; }
    void ApplyStoredState() override;
    void ReadState() override;

    // Appends a node to the parent's children (no parent: at the top). A top-level node may not
    // have a parent: null. The tree owns the node.
    FCTreeNode* AddNode(FCTreeNode* parent, bool topLevel, const FCString* text);
    // The selected node, or null.
    FCTreeNode* GetSelectedNode();
    // Makes the node the caret item (scrolled into view, its parents expanded); null selects
    // nothing.
    void SelectNode(FCTreeNode* node);
    // The first node whose data equals the value, depth first in tree order; null when none.
    FCTreeNode* FindNodeByData(uint32_t data) const;
    void CollapseAllTopLevel();
    // Removes every node.
    void ClearNodes();
    FCTreeNode* GetRoot() { return &root_; }
    int GetTopLevelCount() const { return root_.GetCount(); }
    // The node whose native item is given, or null.
    FCTreeNode* FindNodeByNativeItem(const void* item) const;

private:
    void InsertNative(FCTreeNode* node, void* parentItem);
    void SetSelectedFlags(FCTreeNode* selected);

    FCTreeNode root_;
};
