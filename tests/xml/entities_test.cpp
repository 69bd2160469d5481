#include "xml/xml_entities.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(XmlEntities, DefaultTableRowsInOrder) {
    const XmlEntityTable& table = XmlDefaultEntities();
    const struct {
        char character;
        const char* text;
        int length;
    } expected[] = {{'&', "&amp;", 5}, {'"', "&quot;", 6}, {'\'', "&apos;", 6}, {'<', "&lt;", 4}, {'>', "&gt;", 4}};
    ASSERT_EQ(table.size(), std::size(expected));
    for (std::size_t i = 0; i < table.size(); ++i) {
        EXPECT_EQ(table[i].character, expected[i].character) << i;
        EXPECT_STREQ(table[i].text, expected[i].text) << i;
        EXPECT_EQ(table[i].length, expected[i].length) << i;
    }
}

TEST(XmlEntities, Decode) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"&lt;b&gt; &amp;amp;", "<b> &amp;"},
        {"&quot;&apos;", "\"'"},
        {"&#65;&#38;", "&#65;&#38;"},
        {"&AMP;&Amp;", "&AMP;&Amp;"},
        {"&amp", "&amp"},
        {"&", "&"},
        {"&&lt;", "&<"},
        {"x&lt", "x&lt"},
        {"&lt;&lt;&lt;", "<<<"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(DecodeEntities(text), expected) << text;
}

TEST(XmlEntities, Encode) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"plain", "plain"},
        {"<b> & \"q\" 'a'", "&lt;b&gt; &amp; &quot;q&quot; &apos;a&apos;"},
        {"&amp;", "&amp;amp;"},
    };
    for (const auto& [text, expected] : cases) EXPECT_EQ(EncodeEntities(text), expected) << text;
    for (const auto& [text, expected] : cases) EXPECT_EQ(DecodeEntities(EncodeEntities(text)), text) << text;
}

XmlEntity Row(char character, const char* text, int length) {
    XmlEntity entity;
    entity.character = character;
    std::snprintf(entity.text, sizeof(entity.text), "%s", text);
    entity.length = length;
    return entity;
}

TEST(XmlEntities, CustomTablesUseTheirFirstRow) {
    // Two rows for one character: encoding takes the first; decoding knows
    // both. Rows without a positive length are never matched.
    const XmlEntityTable table{Row('x', "&ex;", 4), Row('x', "&xx;", 4), Row('y', "", 0), Row('z', "&z;", -1)};
    EXPECT_EQ(EncodeEntities("axbyz", table), "a&ex;byz");
    EXPECT_EQ(DecodeEntities("&ex;&xx;&z;", table), "xx&z;");
    EXPECT_EQ(DecodeEntities("&lt;", XmlEntityTable{}), "&lt;");
    EXPECT_EQ(EncodeEntities("<", XmlEntityTable{}), "<");
    // A length shorter than the text counts only that prefix.
    const XmlEntityTable shortened{Row('&', "&amp;", 2)};
    EXPECT_EQ(DecodeEntities("&am", shortened), "&m");
}

} // namespace
