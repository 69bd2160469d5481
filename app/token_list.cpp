#include "app/token_list.h"

#include "common/text_utils.h"

#include <cstring>

TokenList::TokenList(const char* text, char separator) : separator_(separator) { Assign(text); }

void TokenList::Assign(const char* text, unsigned separator) {
    if (separator < kKeepSeparator) separator_ = static_cast<char>(separator);
    items_.clear();
    if (text == nullptr) return;
    SplitByChars(text, std::string_view(&separator_, 1), items_);
}

char TokenList::SetSeparator(char separator) {
    const char previous = separator_;
    separator_ = separator;
    return previous;
}

const std::string& TokenList::GetAt(int index) const {
    static const std::string empty;
    if (index < 0 || index >= GetCount()) return empty;
    return items_[static_cast<std::size_t>(index)];
}

std::size_t TokenList::CopyItem(int index, char* buffer, std::size_t length) const {
    const std::string& item = GetAt(index);
    const std::size_t count = item.size() < length ? item.size() : length;
    std::memcpy(buffer, item.data(), count);
    buffer[count] = '\0';
    return count;
}

int TokenList::FindItem(std::string_view text, bool ignoreCase, int maxLength) const {
    const auto cut = [maxLength](std::string_view value) {
        return maxLength >= 0 ? value.substr(0, static_cast<std::size_t>(maxLength)) : value;
    };
    const std::string_view wanted = cut(text);
    for (int i = 0; i < GetCount(); ++i) {
        const std::string_view item = cut(items_[static_cast<std::size_t>(i)]);
        if (ignoreCase ? EqualsIgnoringCase(item, wanted) : item == wanted) return i;
    }
    return -1;
}
