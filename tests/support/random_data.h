// Reproducible test inputs: text with matches at every distance, and bytes
// with none.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <random>
#include <vector>

// Words from a small vocabulary: plenty of matches at every distance.
inline std::vector<std::uint8_t> RandomText(std::size_t size, unsigned seed) {
    static const char* const kWords[] = {"installer ", "archive ", "chunk ", "deflate ", "window ", "zor ",
                                         "\n",         "0123 ",    "setup ", "file ",    "MD5 ",    "log "};
    std::mt19937 random(seed);
    std::vector<std::uint8_t> text;
    while (text.size() < size) {
        const char* word = kWords[random() % std::size(kWords)];
        text.insert(text.end(), word, word + std::strlen(word));
    }
    text.resize(size);
    return text;
}

inline std::vector<std::uint8_t> RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(size);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(random());
    return bytes;
}
