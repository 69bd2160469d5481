// An ordered list of text items cut from one text at a separator character.
// It splits the window search list of an installer; empty pieces are kept,
// so the items match the text exactly, one per separator plus one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TokenList {
public:
    // Passing this to Assign keeps the stored separator.
    static constexpr unsigned kKeepSeparator = 0xFF;

    // Stores separator, then splits text (nullptr gives an empty list).
    TokenList(const char* text, char separator);

    // Replaces every item by the pieces of text cut at the separator. A
    // separator below kKeepSeparator replaces the stored one first. nullptr
    // leaves the list empty; an empty text gives one empty item, and a text
    // ending with the separator gives an empty last item.
    void Assign(const char* text, unsigned separator = kKeepSeparator);

    // Stores separator and returns the previous one.
    char SetSeparator(char separator);
    char GetSeparator() const { return separator_; }

    int GetCount() const { return static_cast<int>(items_.size()); }
    // The item at index, or the empty string for an index outside the list.
    const std::string& GetAt(int index) const;
    const std::vector<std::string>& Items() const { return items_; }

    // Copies the first length characters of the item at index into buffer,
    // which holds at least length + 1 characters, and terminates it. An item
    // shorter than length (or a missing one) is copied whole, so nothing is
    // ever read beyond the item. Returns the number of characters copied.
    std::size_t CopyItem(int index, char* buffer, std::size_t length) const;

    // Index of the first item equal to text, or -1. ignoreCase compares ASCII
    // letters without regard to case; a maxLength of 0 or more compares only
    // that many leading characters of each side.
    int FindItem(std::string_view text, bool ignoreCase, int maxLength = -1) const;

private:
    std::vector<std::string> items_;
    char separator_;
};
