// Owners of component-object references and of shell item identifier lists,
// for the *_win32.cpp files that talk to the shell. Windows code only.
#pragma once

#include "common/windows_api.h"

#include <shlobj.h>

// Owner of one reference to a component object; releases it on destruction.
template <typename Interface>
class ComReference {
public:
    ComReference() = default;
    ~ComReference() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    ComReference(const ComReference&) = delete;
    ComReference& operator=(const ComReference&) = delete;

    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    // For calls that hand out a new reference; only valid while empty.
    Interface** out() { return &pointer_; }
    void** outVoid() { return reinterpret_cast<void**>(&pointer_); }

private:
    Interface* pointer_ = nullptr;
};

// Owner of an item identifier list allocated by the shell; frees it with the
// shell's allocator, which must outlive this object.
class ItemIdList {
public:
    explicit ItemIdList(IMalloc* allocator, LPITEMIDLIST list = nullptr) : allocator_(allocator), list_(list) {}
    ~ItemIdList() {
        if (list_ != nullptr) allocator_->Free(list_);
    }
    ItemIdList(const ItemIdList&) = delete;
    ItemIdList& operator=(const ItemIdList&) = delete;

    LPITEMIDLIST get() const { return list_; }
    // For calls that hand out a new list; only valid while empty.
    LPITEMIDLIST* out() { return &list_; }

private:
    IMalloc* allocator_;
    LPITEMIDLIST list_;
};
