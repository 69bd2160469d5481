// The list type behind a node's children and attributes: an array of owning
// pointers, as std::vector<std::unique_ptr<T>> would be, in 16 bytes instead
// of 24. Two of them bring a node down to 120 bytes, a size that glibc's
// allocator still serves from its fast lists for small blocks; a parsed tree
// holds one node per element, so that size decides much of its memory and of
// the time it takes to build and destroy. A list of one item, the commonest
// length of an element's attributes in configuration files, holds it in place
// of the array pointer and allocates nothing.
//
// Internal to the reader; the element type need only be complete where a
// list is destroyed or changed.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>

template <class T>
class XmlOwnedList {
public:
    XmlOwnedList() = default;
    ~XmlOwnedList() {
        Clear();
        if (capacity_ > 1) std::free(storage_.items);
    }
    XmlOwnedList(const XmlOwnedList&) = delete;
    XmlOwnedList& operator=(const XmlOwnedList&) = delete;
    XmlOwnedList(XmlOwnedList&& other) noexcept { Swap(other); }
    XmlOwnedList& operator=(XmlOwnedList&& other) noexcept {
        XmlOwnedList taken(std::move(other));
        Swap(taken);
        return *this;
    }

    std::size_t Size() const { return size_; }
    bool Empty() const { return size_ == 0; }
    T* operator[](std::size_t index) const { return Items()[index]; }
    T* const* begin() const { return Items(); }
    T* const* end() const { return Items() + size_; }

    // Room for count items in all, so that as many appends allocate nothing.
    void Reserve(std::size_t count) {
        if (count > capacity_) Grow(count);
    }

    T* Append(std::unique_ptr<T> item) {
        if (size_ == capacity_) Grow(capacity_ == 0 ? 1 : capacity_ == 1 ? 4 : 2 * std::size_t{capacity_});
        Items()[size_] = item.release();
        return Items()[size_++];
    }

    // Takes the item at index out of the list, keeping the others' order.
    std::unique_ptr<T> Remove(std::size_t index) {
        T** items = Items();
        T* item = items[index];
        std::memmove(items + index, items + index + 1, (size_ - index - 1) * sizeof(T*));
        --size_;
        return std::unique_ptr<T>(item);
    }

    std::unique_ptr<T> RemoveLast() { return std::unique_ptr<T>(Items()[--size_]); }

    // Moves every item of from to the end of this list, which grows to
    // exactly the room it needs; from is left empty.
    void TakeAll(XmlOwnedList& from) {
        if (from.size_ == 0) return;
        Reserve(static_cast<std::size_t>(size_) + from.size_);
        std::memcpy(Items() + size_, from.Items(), from.size_ * sizeof(T*));
        size_ += from.size_;
        from.size_ = 0;
    }

    // Destroys every item; the capacity stays.
    void Clear() {
        while (size_ > 0) delete Items()[--size_];
    }

    void Swap(XmlOwnedList& other) noexcept {
        std::swap(storage_, other.storage_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

private:
    T** Items() { return capacity_ <= 1 ? &storage_.single : storage_.items; }
    T* const* Items() const { return capacity_ <= 1 ? &storage_.single : storage_.items; }

    void Grow(std::size_t count) {
        if (count <= 1) {
            capacity_ = 1; // the one item's place is storage_.single
            return;
        }
        if (count > UINT32_MAX) throw std::bad_alloc();
        if (capacity_ <= 1) {
            auto* items = static_cast<T**>(std::malloc(count * sizeof(T*)));
            if (items == nullptr) throw std::bad_alloc();
            if (size_ == 1) items[0] = storage_.single;
            storage_.items = items;
        } else {
            void* grown = std::realloc(storage_.items, count * sizeof(T*));
            if (grown == nullptr) throw std::bad_alloc();
            storage_.items = static_cast<T**>(grown);
        }
        capacity_ = static_cast<std::uint32_t>(count);
    }

    // With a capacity of 0 or 1 the list's only item, if any, is single;
    // above that, items points to the array.
    union Storage {
        T** items;
        T* single;
    };
    Storage storage_{nullptr};
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};
