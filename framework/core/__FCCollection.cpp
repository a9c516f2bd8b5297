#include "framework/core/__FCCollection.h"

#include "framework/core/FCIteratorHandler.h"

#include <cstring>

__FCCollection::__FCCollection() : count_(0), capacity_(0), gap_(0), elements_(nullptr) {}

__FCCollection::~__FCCollection() {
    ClearAll();
    if (elements_ != inline_) delete[] elements_;
}

int __FCCollection::ForEach(FCIteratorHandler* handler) {
    if (!handler) return 0;
    int calls = 0;
    for (int i = 0; i < count_; ++i) {
        __FCBase* element = elements_[Slot(i)];
        if (!element) continue;
        if (!handler->Iterate(element)) break;
        ++calls;
    }
    return calls;
}

__FCBase* __FCCollection::FindFirst(FCIteratorHandler* handler) {
    if (!handler) return nullptr;
    for (int i = 0; i < count_; ++i) {
        __FCBase* element = elements_[Slot(i)];
        if (element && handler->IsMatch(element)) return element;
    }
    return nullptr;
}

int __FCCollection::ForEachIndex(FCIteratorHandler* handler) {
    if (!handler) return 0;
    int calls = 0;
    for (int i = 0; i < count_; ++i) {
        __FCBase* element = elements_[Slot(i)];
        if (!element) continue;
        if (!handler->IterateIndex(element, i)) break;
        ++calls;
    }
    return calls;
}

int __FCCollection::GetIndexOf(const __FCBase* element) const {
    for (int i = 0; i < count_; ++i)
        if (elements_[Slot(i)] == element) return i;
    return -1;
}

void __FCCollection::MoveGapTo(int i) {
    const int gap = capacity_ - count_;
    if (gap == 0) {
        gap_ = i;
        return;
    }
    if (i < gap_)
        std::memmove(elements_ + i + gap, elements_ + i, size_t(gap_ - i) * sizeof(__FCBase*));
    else if (i > gap_)
        std::memmove(elements_ + gap_, elements_ + gap_ + gap, size_t(i - gap_) * sizeof(__FCBase*));
    gap_ = i;
}

void __FCCollection::MakeRoom(int extra) {
    if (capacity_ >= count_ + extra) return;
    CloseGap();
    int step;
    if (count_ <= 100)
        step = 10;
    else if (count_ <= 1000)
        step = 50;
    else if (count_ <= 10000)
        step = 100;
    else
        step = 1000;
    const int capacity = step * ((count_ + extra + step) / step);
    __FCBase** grown = !elements_ && capacity <= kInlineCapacity ? inline_ : new __FCBase*[capacity];
    for (int i = 0; i < count_; ++i) grown[i] = elements_[i];
    for (int i = count_; i < capacity; ++i) grown[i] = nullptr;
    if (elements_ != inline_) delete[] elements_;
    elements_ = grown;
    capacity_ = capacity;
}

void __FCCollection::Add(__FCBase* element) {
    MakeRoom(1);
    CloseGap();
    elements_[count_++] = element;
    gap_ = count_;
}

bool __FCCollection::AddUnique(__FCBase* element) {
    if (ContainsItem(element)) return false;
    Add(element);
    return true;
}

void __FCCollection::InsertItemAt(__FCBase* element, int i) {
    if (i >= count_) {
        Add(element);
        return;
    }
    if (i < 0) i = 0;
    InsertItemsAt(&element, 1, i);
}

void __FCCollection::InsertItemsAt(__FCBase* const* elements, int count, int i) {
    if (!elements || count <= 0) return;
    if (i > count_) i = count_;
    if (i < 0) i = 0;
    MakeRoom(count);
    MoveGapTo(i);
    for (int k = 0; k < count; ++k) elements_[i + k] = elements[k];
    count_ += count;
    gap_ = i + count;
}

__FCBase* __FCCollection::DetachItemAt(int i) {
    if (!elements_ || i < 0 || i >= count_) return nullptr;
    // The element leaves the gap's front edge: the gap grows by its slot.
    MoveGapTo(i + 1);
    __FCBase* element = elements_[i];
    elements_[i] = nullptr;
    --count_;
    gap_ = i;
    return element;
}

bool __FCCollection::ClearItemAt(int i) {
    if (!elements_ || i < 0 || i >= count_) return false;
    delete DetachItemAt(i);
    return true;
}

void __FCCollection::ClearAll() {
    CloseGap();
    for (int i = 0; i < count_; ++i) {
        delete elements_[i];
        elements_[i] = nullptr;
    }
    count_ = 0;
    gap_ = 0;
}

int __FCCollection::MoveFrom(__FCCollection* other, bool unique) {
    if (!other || other == this) return 0;
    int added = 0;
    while (other->GetCount() > 0) {
        __FCBase* element = other->DetachItemAt(0);
        if (unique) {
            if (AddUnique(element)) ++added;  // an object already held stays where it is
        } else {
            Add(element);
            ++added;
        }
    }
    return added;
}

bool __FCCollection::Sort(FCIteratorHandler* handler) {
    if (!handler) return false;
    CloseGap();
    bool exchanged = false;
    for (int i = 0; i < count_ - 1; ++i) {
        for (int j = i + 1; j < count_; ++j) {
            __FCBase* a = elements_[i];
            __FCBase* b = elements_[j];
            if (a && b && handler->Compare(a, b) > 0) {
                elements_[i] = b;
                elements_[j] = a;
                exchanged = true;
            }
        }
    }
    return exchanged;
}

bool __FCCollection::Swap(int i, int j) {
    if (i < 0 || j < 0 || i >= count_ || j >= count_) return false;
    __FCBase*& a = elements_[Slot(i)];
    __FCBase*& b = elements_[Slot(j)];
    __FCBase* t = a;
    a = b;
    b = t;
    return true;
}
