// The framework's owning list: an ordered array of framework objects with index access,
// insertion and removal, visitors and an exchange sort driven by an FCIteratorHandler.
// A collection owns its elements and destroys them when cleared or destroyed.
#pragma once

#include "framework/core/__FCIteratorBase.h"

class __FCCollection : public __FCIteratorBase {
public:
    __FCCollection();
    ~__FCCollection() override;
    __FCCollection(const __FCCollection&) = delete;
    __FCCollection& operator=(const __FCCollection&) = delete;

    const char* ClassName() const override { return "__FCCollection"; }

    // slot 6
    int ForEach(FCIteratorHandler* handler) override;
    // slot 7
    __FCBase* FindFirst(FCIteratorHandler* handler) override;
    // slot 8
    virtual int ForEachIndex(FCIteratorHandler* handler);

    int GetCount() const { return count_; }
    int GetCapacity() const { return capacity_; }
    // The element at i, or null when i is out of range.
    __FCBase* GetItemAt(int i) const { return i >= 0 && i < count_ ? elements_[Slot(i)] : nullptr; }
    __FCBase* GetLastItem() const { return GetItemAt(count_ - 1); }
    // The first index holding this very object, or -1.
    int GetIndexOf(const __FCBase* element) const;
    bool ContainsItem(const __FCBase* element) const { return GetIndexOf(element) >= 0; }
    bool IsEmpty() const { return count_ == 0; }

    // Appends; the collection takes ownership (a null element is kept as an absent slot).
    void Add(__FCBase* element);
    // False (and nothing happens) when this very object is already held.
    bool AddUnique(__FCBase* element);
    void InsertItemAt(__FCBase* element, int i);
    // Inserts count elements, in order, before position i (appends when i is past the end), moving
    // the elements after them once.
    void InsertItemsAt(__FCBase* const* elements, int count, int i);
    // Removes without destroying; the caller owns the result. Null when i is out of range.
    __FCBase* DetachItemAt(int i);
    // Destroys the element at i and closes the gap.
    bool ClearItemAt(int i);
    // Destroys every element; the array and its capacity are kept.
    void ClearAll();
    // Takes every element of other (which ends empty); returns the number added.
    int MoveFrom(__FCCollection* other, bool unique);
    // Exchange sort; true when any two elements were exchanged.
    bool Sort(FCIteratorHandler* handler);
    // Exchanges two positions (no ownership change). False when either is out of range.
    bool Swap(int i, int j);

protected:
    // Typed access for concrete collections.
    template <typename T>
    T* ItemAs(int i) const {
        return static_cast<T*>(GetItemAt(i));
    }

private:
    // The unused part of the array (capacity_ - count_ slots) lies before the element at gap_
    // rather than at the end: a run of insertions or removals near one place moves only the
    // elements between them, not the whole tail each time (a layer that grows as its chords are
    // broken). Index access steps over the gap; appending, sorting, clearing and growing close it
    // first.
    int Slot(int i) const { return i < gap_ ? i : i + capacity_ - count_; }
    void MoveGapTo(int i);
    void CloseGap() { MoveGapTo(count_); }
    void MakeRoom(int extra);

    // The first array (the capacity of a collection's first growth step) lives in the object:
    // most collections are small (the notes of an entry, the pitches of a chord), and the
    // framework makes many of them.
    static constexpr int kInlineCapacity = 10;

    int count_;
    int capacity_;
    int gap_;
    __FCBase** elements_;
    __FCBase* inline_[kInlineCapacity];
};
