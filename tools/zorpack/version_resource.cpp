#include "tools/zorpack/version_resource.h"

#include "common/little_endian.h"
#include "common/utf8.h"

namespace zorpack {

namespace {

constexpr std::uint16_t kTextType = 1;
constexpr std::uint16_t kBinaryType = 0;
constexpr std::uint32_t kFixedSignature = 0xFEEF04BD;
constexpr std::uint32_t kFixedStructureVersion = 0x00010000;
constexpr std::uint32_t kFlagsMask = 0x3F;
constexpr std::uint32_t kWindowsNt32 = 0x00040004;
constexpr std::uint32_t kProgram = 1;
constexpr std::uint16_t kUnicodeCodePage = 1200;

class BlockWriter {
public:
    // Starts a block (at a multiple of 4) and returns where, for End.
    std::size_t Begin(std::u16string_view key, std::size_t valueLength, std::uint16_t type) {
        Pad();
        const std::size_t start = out_.size();
        Put16(0);
        Put16(static_cast<std::uint16_t>(valueLength));
        Put16(type);
        Text(key);
        Pad();
        return start;
    }
    void End(std::size_t start) {
        const std::size_t length = out_.size() - start;
        if (length > 0xFFFF) overflow_ = true;
        out_[start] = static_cast<std::uint8_t>(length);
        out_[start + 1] = static_cast<std::uint8_t>(length >> 8);
    }
    void Put16(std::uint16_t value) {
        out_.push_back(static_cast<std::uint8_t>(value));
        out_.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void Put32(std::uint32_t value) {
        Put16(static_cast<std::uint16_t>(value));
        Put16(static_cast<std::uint16_t>(value >> 16));
    }
    // The units and a NUL.
    void Text(std::u16string_view text) {
        for (char16_t unit : text) Put16(unit);
        Put16(0);
    }
    void Pad() {
        while (out_.size() % 4 != 0) out_.push_back(0);
    }
    // The blocks, or nothing when one outgrew its 16-bit length.
    std::vector<std::uint8_t> Take() { return overflow_ ? std::vector<std::uint8_t>() : std::move(out_); }

private:
    std::vector<std::uint8_t> out_;
    bool overflow_ = false;
};

} // namespace

std::array<std::uint16_t, 4> VersionNumbers(std::string_view text) {
    std::array<std::uint16_t, 4> numbers{};
    std::size_t at = 0;
    for (std::size_t part = 0; part < numbers.size(); ++part) {
        std::uint32_t value = 0;
        std::size_t digits = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9' && value <= 0xFFFF) {
            value = value * 10 + static_cast<std::uint32_t>(text[at++] - '0');
            ++digits;
        }
        if (digits == 0 || value > 0xFFFF) break;
        numbers[part] = static_cast<std::uint16_t>(value);
        if (at == text.size() || text[at] != '.') break;
        ++at;
    }
    return numbers;
}

std::vector<std::uint8_t> VersionResource(const std::array<std::uint16_t, 4>& numbers,
                                          const std::vector<std::pair<std::string, std::string>>& texts) {
    constexpr std::size_t kFixedSize = 52;
    BlockWriter writer;
    const std::size_t root = writer.Begin(u"VS_VERSION_INFO", kFixedSize, kBinaryType);
    const std::uint32_t high = std::uint32_t{numbers[0]} << 16 | numbers[1];
    const std::uint32_t low = std::uint32_t{numbers[2]} << 16 | numbers[3];
    for (std::uint32_t field : {kFixedSignature, kFixedStructureVersion, high, low, high, low, kFlagsMask, 0u,
                                kWindowsNt32, kProgram, 0u, 0u, 0u})
        writer.Put32(field);
    const std::size_t strings = writer.Begin(u"StringFileInfo", 0, kTextType);
    const std::size_t table = writer.Begin(u"040904B0", 0, kTextType);
    for (const auto& [name, value] : texts) {
        const std::u16string units = ToUtf16(value);
        const std::size_t block = writer.Begin(ToUtf16(name), units.size() + 1, kTextType);
        writer.Text(units);
        writer.End(block);
    }
    writer.End(table);
    writer.End(strings);
    const std::size_t variables = writer.Begin(u"VarFileInfo", 0, kTextType);
    const std::size_t translation = writer.Begin(u"Translation", 4, kBinaryType);
    writer.Put16(kUsEnglish);
    writer.Put16(kUnicodeCodePage);
    writer.End(translation);
    writer.End(variables);
    writer.End(root);
    return writer.Take();
}

} // namespace zorpack
