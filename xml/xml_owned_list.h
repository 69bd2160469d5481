// The list type behind a node's children and attributes: an array of owning
// pointers, as std::vector<std::unique_ptr<T>> would be, in 16 bytes instead
// of 24. Two of them bring a node down to 120 bytes, a size that glibc's
// allocator still serves from its fast lists for small blocks; a parsed tree
// holds one node per element, so that size decides much of its memory and of
// the time it takes to build and destroy.
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
        std::free(items_);
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
    T* operator[](std::size_t index) const { return items_[index]; }
    T* const* begin() const { return items_; }
    T* const* end() const { return items_ + size_; }

    // Room for count items in all, so that as many appends allocate nothing.
    void Reserve(std::size_t count) {
        if (count > capacity_) Grow(count);
    }

    T* Append(std::unique_ptr<T> item) {
        if (size_ == capacity_) Grow(capacity_ == 0 ? 4 : 2 * static_cast<std::size_t>(capacity_));
        items_[size_] = item.release();
        return items_[size_++];
    }

    // Takes the item at index out of the list, keeping the others' order.
    std::unique_ptr<T> Remove(std::size_t index) {
        T* item = items_[index];
        std::memmove(items_ + index, items_ + index + 1, (size_ - index - 1) * sizeof(T*));
        --size_;
        return std::unique_ptr<T>(item);
    }

    std::unique_ptr<T> RemoveLast() { return std::unique_ptr<T>(items_[--size_]); }

    // Moves every item of from to the end of this list, which grows to
    // exactly the room it needs; from is left empty.
    void TakeAll(XmlOwnedList& from) {
        if (from.size_ == 0) return;
        Reserve(static_cast<std::size_t>(size_) + from.size_);
        std::memcpy(items_ + size_, from.items_, from.size_ * sizeof(T*));
        size_ += from.size_;
        from.size_ = 0;
    }

    // Destroys every item; the capacity stays.
    void Clear() {
        while (size_ > 0) delete items_[--size_];
    }

    void Swap(XmlOwnedList& other) noexcept {
        std::swap(items_, other.items_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

private:
    void Grow(std::size_t count) {
        if (count > UINT32_MAX) throw std::bad_alloc();
        void* grown = std::realloc(items_, count * sizeof(T*));
        if (grown == nullptr) throw std::bad_alloc();
        items_ = static_cast<T**>(grown);
        capacity_ = static_cast<std::uint32_t>(count);
    }

    T** items_ = nullptr;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = 0;
};
