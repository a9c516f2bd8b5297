#include "framework/core/__FCCollection.h"

#include "framework/core/FCIteratorHandler.h"

#include <cstring>

__FCCollection::__FCCollection() : count_(0), capacity_(0), elements_(nullptr) {}

__FCCollection::~__FCCollection() {
    ClearAll();
    delete[] elements_;
}

int __FCCollection::ForEach(FCIteratorHandler* handler) {
    if (!handler) return 0;
    int calls = 0;
    for (int i = 0; i < count_; ++i) {
        if (!elements_[i]) continue;
        if (!handler->Iterate(elements_[i])) break;
        ++calls;
    }
    return calls;
}

__FCBase* __FCCollection::FindFirst(FCIteratorHandler* handler) {
    if (!handler) return nullptr;
    for (int i = 0; i < count_; ++i)
        if (elements_[i] && handler->IsMatch(elements_[i])) return elements_[i];
    return nullptr;
}

int __FCCollection::ForEachIndex(FCIteratorHandler* handler) {
    if (!handler) return 0;
    int calls = 0;
    for (int i = 0; i < count_; ++i) {
        if (!elements_[i]) continue;
        if (!handler->IterateIndex(elements_[i], i)) break;
        ++calls;
    }
    return calls;
}

int __FCCollection::GetIndexOf(const __FCBase* element) const {
    for (int i = 0; i < count_; ++i)
        if (elements_[i] == element) return i;
    return -1;
}

void __FCCollection::MakeRoom(int extra) {
    if (capacity_ >= count_ + extra) return;
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
    __FCBase** grown = new __FCBase*[capacity];
    for (int i = 0; i < count_; ++i) grown[i] = elements_[i];
    for (int i = count_; i < capacity; ++i) grown[i] = nullptr;
    delete[] elements_;
    elements_ = grown;
    capacity_ = capacity;
}

void __FCCollection::Add(__FCBase* element) {
    MakeRoom(1);
    elements_[count_++] = element;
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
    MakeRoom(1);
    for (int j = count_; j > i; --j) elements_[j] = elements_[j - 1];
    elements_[i] = element;
    ++count_;
}

void __FCCollection::InsertItemsAt(__FCBase* const* elements, int count, int i) {
    if (!elements || count <= 0) return;
    if (i > count_) i = count_;
    if (i < 0) i = 0;
    MakeRoom(count);
    std::memmove(elements_ + i + count, elements_ + i, size_t(count_ - i) * sizeof(__FCBase*));
    for (int k = 0; k < count; ++k) elements_[i + k] = elements[k];
    count_ += count;
}

__FCBase* __FCCollection::DetachItemAt(int i) {
    if (!elements_ || i < 0 || i >= count_) return nullptr;
    __FCBase* element = elements_[i];
    for (int j = i; j < count_ - 1; ++j) elements_[j] = elements_[j + 1];
    elements_[--count_] = nullptr;
    return element;
}

bool __FCCollection::ClearItemAt(int i) {
    if (!elements_ || i < 0 || i >= count_) return false;
    delete DetachItemAt(i);
    return true;
}

void __FCCollection::ClearAll() {
    for (int i = 0; i < count_; ++i) {
        delete elements_[i];
        elements_[i] = nullptr;
    }
    count_ = 0;
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
    __FCBase* t = elements_[i];
    elements_[i] = elements_[j];
    elements_[j] = t;
    return true;
}
