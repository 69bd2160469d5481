// Inputs shaped so that any step that is quadratic in their size would take
// minutes: each test only has to finish, and to give the right tree.
#include "xml/xml_node.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr int kCount = 200000;
constexpr std::size_t kBytes = 2 * 1024 * 1024;

TEST(XmlLargeInputs, ManyAttributesOnOneElement) {
    std::string text = "<a";
    for (int i = 0; i < kCount; ++i) text += " x" + std::to_string(i) + "='" + std::to_string(i) + "'";
    text += "/>";
    XmlParseOptions options;
    XmlNode root;
    ASSERT_EQ(root.Load(text.c_str(), options), text.c_str() + text.size());
    ASSERT_EQ(root.AttributeCount(), kCount);
    EXPECT_EQ(root.AttributeAt(kCount - 1)->value, std::to_string(kCount - 1));
    XmlWriteOptions write;
    write.newlines = false;
    EXPECT_GT(root.ToXml(write).size(), text.size());
}

TEST(XmlLargeInputs, ManyChildren) {
    std::string text = "<a>";
    for (int i = 0; i < kCount; ++i) text += "<b/>";
    text += "</a>";
    XmlParseOptions options;
    XmlNode root;
    ASSERT_EQ(root.Load(text.c_str(), options), text.c_str() + text.size());
    EXPECT_EQ(root.ChildCount(), kCount);
    EXPECT_EQ(root.FindChildren("b").size(), static_cast<std::size_t>(kCount));
    XmlWriteOptions write;
    write.newlines = false;
    EXPECT_TRUE(root.ToXml(write) == text);
}

TEST(XmlLargeInputs, LongBlankRunsAmongManyChildren) {
    // A long blank run first, then many children with and without blank runs
    // between them: each run replaces the previous one.
    std::string text = "<a>" + std::string(kBytes, ' ');
    for (int i = 0; i < kCount; ++i) text += (i % 2 == 0) ? "<b/>" : "  \t<b/>";
    text += "\r\n</a>";
    XmlParseOptions options;
    XmlNode root;
    ASSERT_NE(root.Load(text.c_str(), options), nullptr);
    EXPECT_EQ(root.ChildCount(), kCount);
    EXPECT_EQ(root.value, "\r\n");

    // The same with a long blank run after every child but the last.
    std::string runs = "<a>";
    const std::string blank(kBytes / kCount * 10, ' ');
    for (int i = 0; i < kCount / 10; ++i) runs += "<b/>" + blank;
    runs += "</a>";
    ASSERT_NE(root.Load(runs.c_str(), options), nullptr);
    EXPECT_TRUE(root.value == blank);
}

TEST(XmlLargeInputs, LongValuesWithEscapesAndEntities) {
    // Each piece reads &\<xy once its escapes and entities are removed.
    const std::string piece = "&amp;\\\\&lt;x\\y";
    std::string raw;
    std::string expected;
    while (raw.size() < kBytes) {
        raw += piece;
        expected += "&\\<xy";
    }
    const std::string text = "<a v='" + raw + "'>" + raw + "</a>";
    XmlParseOptions options;
    XmlNode root;
    ASSERT_EQ(root.Load(text.c_str(), options), text.c_str() + text.size());
    EXPECT_TRUE(root.value == expected);
    EXPECT_TRUE(*root.AttributeValue("v") == expected);
}

TEST(XmlLargeInputs, LongTextsThroughTheCodec) {
    std::string text;
    while (text.size() < kBytes) text += "a<b>&\"c'";
    const std::string encoded = EncodeEntities(text);
    EXPECT_GT(encoded.size(), text.size());
    EXPECT_TRUE(DecodeEntities(encoded) == text);
}

TEST(XmlLargeInputs, LongCommentsAndUnterminatedConstructs) {
    const std::string body(kBytes, '-');
    const std::string comment = "<a><!--" + body + "--></a>";
    XmlParseOptions options;
    XmlNode root;
    ASSERT_NE(root.Load(comment.c_str(), options), nullptr);
    ASSERT_EQ(root.ChildCount(), 1);
    EXPECT_TRUE(root.ChildAt(0)->value == body);

    const std::string cut = "<a><!--" + std::string(kBytes, 'x');
    EXPECT_EQ(root.Load(cut.c_str(), options), nullptr);
    EXPECT_EQ(options.errorCode, XmlErrorUnexpectedEnd);
}

} // namespace
