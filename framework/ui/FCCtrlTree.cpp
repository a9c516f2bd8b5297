#include "framework/ui/FCCtrlTree.h"

#include "framework/ui/Win32Support.h"

using fcui::ToHWND;

namespace {

// Depth first in tree order: each node, then its children.
FCTreeNode* FindInChildren(const __FCCollection& children, bool (*match)(const FCTreeNode*, const void*),
                           const void* value) {
    for (int i = 0; i < children.GetCount(); ++i) {
        FCTreeNode* node = static_cast<FCTreeNode*>(children.GetItemAt(i));
        if (!node) continue;
        if (match(node, value)) return node;
        if (FCTreeNode* found = FindInChildren(*node, match, value)) return found;
    }
    return nullptr;
}

bool MatchesData(const FCTreeNode* node, const void* value) {
    return node->GetData() == *static_cast<const uint32_t*>(value);
}
bool MatchesNativeItem(const FCTreeNode* node, const void* value) {
    return node->GetNativeItem() && node->GetNativeItem() == value;
}
bool MatchesSelected(const FCTreeNode* node, const void*) { return node->IsSelected(); }

void ClearSelectedFlags(const __FCCollection& children) {
    for (int i = 0; i < children.GetCount(); ++i) {
        FCTreeNode* node = static_cast<FCTreeNode*>(children.GetItemAt(i));
        if (!node) continue;
        node->SetSelectedFlag(false);
        ClearSelectedFlags(*node);
    }
}

}  // namespace

FCTreeNode::FCTreeNode()
    : data_(0), nativeItem_(nullptr), tree_(nullptr), parent_(nullptr), topLevel_(false), selected_(false) {}

void FCTreeNode::GetText(FCString* text) const {
    if (text) text->SetString(&text_);
}

void FCTreeNode::SetText(const FCString* text) {
    text_.SetString(text);
    if (!text) text_.Clear();
    HWND tree = tree_ ? ToHWND(tree_->GetNativeItem()) : nullptr;
    if (!tree || !nativeItem_) return;
    TVITEMW item = {};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = static_cast<HTREEITEM>(nativeItem_);
    item.pszText = const_cast<LPWSTR>(fcui::WideText(&text_));
    SendMessageW(tree, TVM_SETITEMW, 0, fcui::PointerParam(&item));
}

void FCTreeNode::Attach(FCCtrlTree* tree, __FCCollection* parent, bool topLevel) {
    tree_ = tree;
    parent_ = parent;
    topLevel_ = topLevel;
}

FCCtrlTree::FCCtrlTree(int id) : FCControl(id) { root_.Attach(this, nullptr, false); }

void FCCtrlTree::ApplyStoredState() {
    FCControl::ApplyStoredState();
    HWND tree = ToHWND(GetNativeItem());
    if (!tree) return;
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    FCTreeNode* selected = FindInChildren(root_, MatchesSelected, nullptr);
    for (int i = 0; i < root_.GetCount(); ++i) InsertNative(root_.GetChildAt(i), nullptr);
    if (selected) SelectNode(selected);
}

void FCCtrlTree::ReadState() {
    FCControl::ReadState();
    if (GetNativeItem()) SetSelectedFlags(GetSelectedNode());
}

FCTreeNode* FCCtrlTree::AddNode(FCTreeNode* parent, bool topLevel, const FCString* text) {
    if (topLevel && parent) return nullptr;
    if (parent && parent->GetTree() != this) return nullptr;
    FCTreeNode* node = new FCTreeNode;
    FCString copy;
    if (text) copy.SetString(text);
    node->StoreText(&copy);
    __FCCollection* container = parent ? static_cast<__FCCollection*>(parent) : &root_;
    node->Attach(this, container, parent == nullptr);
    container->Add(node);
    if (GetNativeItem() && (!parent || parent->GetNativeItem())) {
        // Only the node itself: it has no children yet.
        InsertNative(node, parent ? parent->GetNativeItem() : nullptr);
    }
    return node;
}

FCTreeNode* FCCtrlTree::GetSelectedNode() {
    if (HWND tree = ToHWND(GetNativeItem())) {
        const LRESULT caret = SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
        return caret ? FindNodeByNativeItem(reinterpret_cast<void*>(caret)) : nullptr;
    }
    return FindInChildren(root_, MatchesSelected, nullptr);
}

void FCCtrlTree::SelectNode(FCTreeNode* node) {
    if (node && node->GetTree() != this) return;
    if (node == &root_) node = nullptr;
    SetSelectedFlags(node);
    if (HWND tree = ToHWND(GetNativeItem()))
        SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET,
                     reinterpret_cast<LPARAM>(node ? node->GetNativeItem() : nullptr));
}

FCTreeNode* FCCtrlTree::FindNodeByData(uint32_t data) const { return FindInChildren(root_, MatchesData, &data); }

FCTreeNode* FCCtrlTree::FindNodeByNativeItem(const void* item) const {
    return item ? FindInChildren(root_, MatchesNativeItem, item) : nullptr;
}

void FCCtrlTree::CollapseAllTopLevel() {
    HWND tree = ToHWND(GetNativeItem());
    if (!tree) return;
    for (int i = 0; i < root_.GetCount(); ++i)
        if (FCTreeNode* node = root_.GetChildAt(i))
            SendMessageW(tree, TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(node->GetNativeItem()));
}

void FCCtrlTree::ClearNodes() {
    if (HWND tree = ToHWND(GetNativeItem())) SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    root_.ClearAll();
}

void FCCtrlTree::InsertNative(FCTreeNode* node, void* parentItem) {
    HWND tree = ToHWND(GetNativeItem());
    if (!tree || !node) return;
    TVINSERTSTRUCTW insert = {};
    insert.hParent = parentItem ? static_cast<HTREEITEM>(parentItem) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<LPWSTR>(fcui::WideText(node->GetTextString()));
    insert.item.lParam = LPARAM(node->GetData());
    const LRESULT item = SendMessageW(tree, TVM_INSERTITEMW, 0, fcui::PointerParam(&insert));
    node->SetNativeItem(reinterpret_cast<void*>(item));
    if (!item) return;
    for (int i = 0; i < node->GetCount(); ++i) InsertNative(node->GetChildAt(i), node->GetNativeItem());
}

void FCCtrlTree::SetSelectedFlags(FCTreeNode* selected) {
    ClearSelectedFlags(root_);
    if (selected) selected->SetSelectedFlag(true);
}
