// The writer: trees built by editing, written with both quote characters,
// with and without new lines; and round trips through Load.
#include "tree_dump.h"
#include "xml/xml_node.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

XmlWriteOptions Writer(bool newlines, char quote = '"') {
    XmlWriteOptions options;
    options.newlines = newlines;
    options.quoteChar = quote;
    return options;
}

// p name="a" value="b", without children or text.
std::unique_ptr<XmlNode> Parameter() {
    auto p = XmlNode::CreateNode("p", "");
    p->AppendAttribute("name", "a");
    p->AppendAttribute("value", "b");
    return p;
}

// a{b{c} d="x<y"}="v & w"
std::unique_ptr<XmlNode> Nested() {
    auto a = XmlNode::CreateNode("a", "v & w");
    a->AppendChild("b", "")->AppendChild("c", "");
    a->AppendChild("d", "x<y");
    return a;
}

TEST(XmlWrite, Elements) {
    struct Case {
        std::unique_ptr<XmlNode> (*build)();
        bool newlines;
        char quote;
        const char* expected;
    };
    const Case cases[] = {
        {Parameter, false, '\'', "<p name='a' value='b' />"},
        {Parameter, true, '\'', "\r\n<p name='a' value='b' />"},
        {Parameter, false, '"', "<p name=\"a\" value=\"b\" />"},
        {Parameter, true, '"', "\r\n<p name=\"a\" value=\"b\" />"},
        {Nested, false, '"', "<a><b><c/></b><d>x&lt;y</d>v &amp; w</a>"},
        {Nested, true, '"', "\r\n<a>\r\n\t<b>\r\n\t\t<c/>\r\n\t</b>\r\n\t<d>x&lt;y</d>\r\n\tv &amp; w\r\n</a>"},
        {[] { return XmlNode::CreateNode("e", ""); }, true, '"', "\r\n<e/>"},
        {[] { return XmlNode::CreateNode("e", "t"); }, true, '"', "\r\n<e>t</e>"},
        {[] {
             auto e = XmlNode::CreateNode("e", "");
             e->AppendAttribute("q", "\"'&");
             return e;
         },
         false, '\'', "<e q='&quot;&apos;&amp;' />"},
    };
    for (const auto& c : cases) {
        XmlWriteOptions options = Writer(c.newlines, c.quote);
        EXPECT_EQ(c.build()->ToXml(options), c.expected);
        EXPECT_EQ(options.indentLevel, 0);
    }
}

TEST(XmlWrite, SpecialNodesAndDocuments) {
    XmlNode document;
    document.type = XmlNodeDocument;
    XmlNode* declaration = document.AppendChild("xml", "");
    declaration->type = XmlNodeProcessingInstruction;
    declaration->AppendAttribute("version", "1.0");
    XmlNode* bare = document.AppendChild("pi", "");
    bare->type = XmlNodeProcessingInstruction;
    XmlNode* root = document.AppendChild("r", "");
    XmlNode* comment = root->AppendChild("#COMMENT", " a < b ");
    comment->type = XmlNodeComment;
    XmlNode* cdata = root->AppendChild("#CDATA", "x & y");
    cdata->type = XmlNodeCData;

    XmlWriteOptions flat = Writer(false);
    EXPECT_EQ(document.ToXml(flat), "<?xml version=\"1.0\" ?><?pi?><r><!-- a < b --><![CDATA[x & y]]></r>");
    XmlWriteOptions lines = Writer(true);
    EXPECT_EQ(document.ToXml(lines), "\r\n\r\n<?xml version=\"1.0\" ?>\r\n<?pi?>\r\n<r>\r\n\t<!-- a < b "
                                     "-->\r\n\t<![CDATA[x & y]]>\r\n</r>");
}

TEST(XmlWrite, EncodingCanBeTurnedOffAndIndentationStartsAnywhere) {
    auto a = Nested();
    XmlWriteOptions raw = Writer(false);
    raw.encodeEntities = false;
    EXPECT_EQ(a->ToXml(raw), "<a><b><c/></b><d>x<y</d>v & w</a>");
    XmlWriteOptions noTable = Writer(false);
    noTable.entities = nullptr;
    EXPECT_EQ(a->ToXml(noTable), "<a><b><c/></b><d>x<y</d>v & w</a>");

    XmlWriteOptions indented = Writer(true);
    indented.indentLevel = 2;
    auto b = XmlNode::CreateNode("b", "");
    b->AppendChild("c", "");
    EXPECT_EQ(b->ToXml(indented), "\r\n\t\t<b>\r\n\t\t\t<c/>\r\n\t\t</b>");
    EXPECT_EQ(indented.indentLevel, 2);
}

TEST(XmlWrite, TheSharedDefaultRecord) {
    const XmlWriteOptions& shared = XmlDefaultWriteOptions();
    EXPECT_TRUE(shared.newlines);
    EXPECT_TRUE(shared.encodeEntities);
    EXPECT_EQ(shared.quoteChar, '"');
    EXPECT_EQ(shared.entities, &XmlDefaultEntities());
    EXPECT_EQ(shared.indentLevel, 0);
    EXPECT_EQ(Parameter()->ToXml(XmlDefaultWriteOptions()), "\r\n<p name=\"a\" value=\"b\" />");
}

TEST(XmlWrite, RoundTripsGiveTheSameTree) {
    // Texts without backslashes (the writer does not escape them) and, for
    // the indented form, with trimming (indentation becomes element text).
    const char* texts[] = {
        "<a/>",
        "<a x='1' y=\"two words\" z=''/>",
        "<a q='&quot;&apos;&lt;&gt;&amp;'>&lt;tag&gt; &amp; more</a>",
        "<config><logger name='root' level='INFO'><appender ref='file'/></logger><!-- note "
        "--><![CDATA[<raw>]]><x>1</x><x>2</x>tail</config>",
        "<a><b><c><d>deep</d></c></b></a>",
    };
    for (const char* text : texts) {
        for (const bool newlines : {false, true}) {
            for (const char quote : {'"', '\''}) {
                SCOPED_TRACE(testing::Message() << text << " newlines " << newlines << " quote " << quote);
                XmlParseOptions parse;
                parse.trimText = true;
                XmlNode first;
                ASSERT_NE(first.Load(text, parse), nullptr);
                XmlWriteOptions write = Writer(newlines, quote);
                const std::string written = first.ToXml(write);
                XmlNode second;
                ASSERT_NE(second.Load(written.c_str(), parse), nullptr) << written;
                EXPECT_EQ(Dump(second), Dump(first)) << written;
                EXPECT_FALSE(parse.errorOccurred);
            }
        }
    }
}

} // namespace
