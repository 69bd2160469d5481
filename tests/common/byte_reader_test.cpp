// ByteReader: fields in order, each checked against the end; the first that
// does not fit fails every later read too.
#include "common/byte_reader.h"

#include "tests/support/bytes.h"

#include <gtest/gtest.h>

namespace {

const std::uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const std::uint8_t*>(text.data()); }

TEST(ByteReader, ReadsFieldsInOrderUntilOneDoesNotFit) {
    const std::string record = Le32(7) + Le32(3) + "abc" + Le32(5) + "de";
    ByteReader reader(Bytes(record), record.size());
    EXPECT_EQ(reader.Read32(), 7u);
    EXPECT_EQ(reader.ReadCountedText(), "abc");
    EXPECT_EQ(reader.Offset(), 11u);
    EXPECT_FALSE(reader.Failed());
    // A text of 5 bytes where 2 are left: the reader fails and stays failed.
    EXPECT_EQ(reader.ReadCountedText(), "");
    EXPECT_TRUE(reader.Failed());
    EXPECT_EQ(reader.Left(), 0u);
    EXPECT_EQ(reader.ReadText(0), "");
    EXPECT_EQ(reader.ReadBytes(0), nullptr);
    EXPECT_TRUE(reader.Failed());
}

TEST(ByteReader, AFieldCutByTheEndFailsWithoutReadingPastIt) {
    for (std::size_t size = 0; size < 4; ++size) {
        const std::string cut = Le32(0xFFFFFFFF).substr(0, size);
        ByteReader reader(Bytes(cut), cut.size());
        EXPECT_EQ(reader.Read32(), 0u) << size;
        EXPECT_TRUE(reader.Failed()) << size;
    }
    // A huge length cannot wrap the bounds check around.
    const std::string huge = Le32(0xFFFFFFFF) + "x";
    ByteReader reader(Bytes(huge), huge.size());
    EXPECT_EQ(reader.ReadCountedText(), "");
    EXPECT_TRUE(reader.Failed());
}

} // namespace
