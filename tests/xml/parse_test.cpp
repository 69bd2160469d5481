// Successful parses: each case gives the text, the options that differ from
// the defaults, where Load must return (offset into the text; its length is
// the terminating NUL) and the tree it must build (see tree_dump.h).
#include "tree_dump.h"
#include "xml/xml_node.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct Options {
    bool trim = false;
    bool tolerate = false;
    bool decode = true;
    char esc = '\\';
};

XmlParseOptions Make(const Options& o) {
    XmlParseOptions options;
    options.trimText = o.trim;
    options.tolerateMismatch = o.tolerate;
    options.decodeEntities = o.decode;
    options.escapeChar = o.esc;
    return options;
}

struct ParseCase {
    const char* text;
    Options options;
    std::ptrdiff_t end; // -1: the text's length
    const char* tree;
};

void CheckCases(const ParseCase* cases, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const ParseCase& c = cases[i];
        SCOPED_TRACE(testing::Message() << "case " << i << ": " << c.text);
        XmlParseOptions options = Make(c.options);
        XmlNode root;
        const char* end = root.Load(c.text, options);
        ASSERT_NE(end, nullptr) << options.errorText;
        EXPECT_EQ(end - c.text, c.end < 0 ? static_cast<std::ptrdiff_t>(std::strlen(c.text)) : c.end);
        EXPECT_EQ(Dump(root), c.tree);
        EXPECT_FALSE(options.errorOccurred);
        EXPECT_TRUE(LinksConsistent(root));
    }
}

TEST(XmlParse, ElementText) {
    const ParseCase cases[] = {
        {"<a>text", {}, -1, "a=\"text\""},
        {"<a>text</a>tail", {}, 11, "a=\"text\""},
        {"<a>first<b/>second</a>", {}, -1, "a=\"first\"{b}"},
        {"<a>\r\n  <b/>tail</a>", {}, -1, "a=\"tail\"{b}"},
        {"<a>\r\n  <b/>\r\n</a>", {}, -1, "a=\"\\r\\n\"{b}"},
        {"<a>\r\n<b>1</b>\r\n<b>2</b></a>", {}, -1, "a=\"\\r\\n\"{b=\"1\" b=\"2\"}"},
        {"<a>  t  </a>", {}, -1, "a=\"  t  \""},
        {"<a>  t  </a>", {.trim = true}, -1, "a=\"t\""},
        {"<a>  <b/>  </a>", {.trim = true}, -1, "a{b}"},
        {"<a>x\\<y</a>", {}, -1, "a=\"x<y\""},
        {"<a>abc\\", {}, -1, "a=\"abc\""},
        {"<a>a\\b</a>", {.esc = '\0'}, -1, "a=\"a\\b\""},
        {"<a>&lt;b&gt; &amp;amp;</a>", {}, -1, "a=\"<b> &amp;\""},
        {"<a>&#65;&Amp;</a>", {}, -1, "a=\"&#65;&Amp;\""},
        {"<a>&lt;</a>", {.decode = false}, -1, "a=\"&lt;\""},
        {"<a>\\&amp;</a>", {}, -1, "a=\"&\""},
        {"<r><a></a >tail</r>", {}, -1, "r=\">tail\"{a}"},
        {"<a>1<!--c-->2</a>", {}, -1, "a=\"1\"{#COMMENT:2=\"c\"}"},
        {"<a><!--c-->2</a>", {}, -1, "a=\"2\"{#COMMENT:2=\"c\"}"},
    };
    CheckCases(cases, std::size(cases));
}

TEST(XmlParse, Attributes) {
    const ParseCase cases[] = {
        {"<a flag x='1'>", {}, -1, "a[flag=,x=1]"},
        {"<a flag >text</a>", {}, -1, "a[flag=]=\"text\""},
        {"<a x = '1' y= \"2\"/>", {}, -1, "a[x=1,y=2]"},
        {"<a x='1' x='2'/>", {}, -1, "a[x=1,x=2]"},
        {"<a p=\"C:\\\\Temp\"/>", {}, -1, "a[p=C:\\Temp]"},
        {"<a p=\"C:\\Temp\"/>", {}, -1, "a[p=C:Temp]"},
        {"<a p='x\\'y'/>", {}, -1, "a[p=x'y]"},
        {"<a p='C:\\Temp'/>", {.esc = '\0'}, -1, "a[p=C:\\Temp]"},
        {"<a x=1/>", {}, -1, "a[x=1/]"},
        {"<a x=1 y=2>t</a>", {}, -1, "a[x=1,y=2]=\"t\""},
        {"<a x=' v '/>", {}, -1, "a[x= v ]"},
        {"<a x=' v '/>", {.trim = true}, -1, "a[x=v]"},
        {"<a x='&lt;b&gt; &amp;amp;'/>", {}, -1, "a[x=<b> &amp;]"},
        {"<a x='&lt;'/>", {.decode = false}, -1, "a[x=&lt;]"},
        {"<a x=''/>", {}, -1, "a[x=]"},
        {"<a\tx='1'/>", {}, -1, "a[x=1]"},
        {"<a x='>'>t</a>", {}, -1, "a[x=>]=\"t\""},
    };
    CheckCases(cases, std::size(cases));
}

TEST(XmlParse, StructureAndReturnPositions) {
    const ParseCase cases[] = {
        {"<a/>", {}, 4, "a"},
        {"<a />", {}, 5, "a"},
        {"<a/>tail<b/>", {}, 4, "a"},
        {"  text <a/>", {}, 11, "a"},
        {"</a>", {}, 0, ""},
        {"text </a>", {}, 5, ""},
        {"<a><b><c/></b></a>", {}, -1, "a{b{c}}"},
        {"<a></a><b/>", {}, 7, "a"},
        {"<a></a >", {}, 7, "a"},
        {"<a></ a>", {}, -1, "a"},
        {"<a><b>", {}, -1, "a{b}"},
        {"<a></b>", {.tolerate = true}, -1, "a"},
        {"<a></b>x<c/></a>", {.tolerate = true}, -1, "a{c}"},
        {"<a><b></a></b></a>", {.tolerate = true}, -1, "a{b}"},
    };
    CheckCases(cases, std::size(cases));
}

TEST(XmlParse, CommentsCDataAndInstructions) {
    const ParseCase cases[] = {
        // In front of a root without parent and document: dropped or skipped.
        {"<!-- c --><a/>", {}, -1, "a"},
        {"<![CDATA[x]]> <a/>", {}, -1, "a"},
        {"<?xml version='1.0'?><a/>", {}, -1, "a"},
        {"<?xml version='1.0'?>\r\n<!--c-->\r\n<a/>", {}, -1, "a"},
        {"<!--c--> text <a/>", {}, -1, "a"},
        // Inside an element: children, in document order.
        {"<a><!--c--><b/><![CDATA[x<y]]></a>", {}, -1, "a{#COMMENT:2=\"c\" b #CDATA:3=\"x<y\"}"},
        {"<a><![cdata[x]]></a>", {}, -1, "a{#CDATA:3=\"x\"}"},
        {"<a><!-->x</a>", {}, -1, "a=\"x\"{#COMMENT:2}"},
        {"<a><!-- &lt; \\x --></a>", {}, -1, "a{#COMMENT:2=\" &lt; \\x \"}"},
        {"<a><![CDATA[]]></a>", {}, -1, "a{#CDATA:3}"},
        {"<a><b><!--in b--></b><!--in a--></a>", {}, -1, "a{b{#COMMENT:2=\"in b\"} #COMMENT:2=\"in a\"}"},
        // Without a document an instruction inside an element is skipped too;
        // the text after it up to the next "<" goes with it.
        {"<a><?pi x='1'?>t<b/></a>", {}, -1, "a{b}"},
        // A closing tag right after one of them still closes the element.
        {"<a><?pi?></a>", {}, -1, "a"},
        {"<a><?pi?>text</a>", {}, -1, "a"},
        {"<a><b/><!--c--></a>", {}, -1, "a{b #COMMENT:2=\"c\"}"},
    };
    CheckCases(cases, std::size(cases));
}

TEST(XmlParse, DocumentReceivesInstructionsAndLeadingComments) {
    XmlNode document;
    document.type = XmlNodeDocument;
    document.document = &document;
    XmlNode* root = document.AppendChild("", "");
    XmlParseOptions options;
    const char* text = "<?xml version=\"1.0\" encoding='UTF-8'?><!--lead--><a x='1'><!--in--></a>";
    ASSERT_NE(root->Load(text, options), nullptr);
    EXPECT_EQ(Dump(document), ":4{a[x=1]{#COMMENT:2=\"in\"} xml:1[version=1.0,encoding=UTF-8] #COMMENT:2=\"lead\"}");
    EXPECT_TRUE(LinksConsistent(document));
    const XmlNode* instruction = document.ChildAt(1);
    EXPECT_EQ(instruction->document, &document);
    EXPECT_EQ(instruction->parent, &document);
    EXPECT_EQ(root->FindChild("#COMMENT")->document, &document);
}

TEST(XmlParse, InstructionAttributesStopAtItsEnd) {
    XmlNode document;
    document.type = XmlNodeDocument;
    document.document = &document;
    XmlNode* root = document.AppendChild("", "");
    const ParseCase cases[] = {
        {"<?pi?><a/>", {}, -1, "pi:1"},
        {"<?pi a=1?><a/>", {}, -1, "pi:1[a=1]"},
        {"<?pi a='1?><a/>", {}, -1, "pi:1[a=1]"},
        {"<?>x<a/>", {}, -1, ":1"},
    };
    for (const auto& c : cases) {
        XmlParseOptions options;
        ASSERT_NE(root->Load(c.text, options), nullptr) << c.text;
        EXPECT_FALSE(options.errorOccurred) << c.text;
        ASSERT_EQ(document.ChildCount(), 2) << c.text;
        EXPECT_EQ(Dump(*document.ChildAt(1)), c.tree) << c.text;
        document.RemoveChild(document.ChildAt(1));
    }
    // A name that would run past "?>" is an attribute error that does not
    // stop the parse.
    XmlParseOptions options;
    ASSERT_NE(root->Load("<?pi flag?><a/>", options), nullptr);
    EXPECT_EQ(options.errorCode, XmlErrorBadAttribute);
    EXPECT_EQ(options.errorText, "<pi> attribute has error ");
    EXPECT_EQ(root->name, "a");
}

TEST(XmlParse, ReloadDiscardsTheTreeButKeepsNameAndValue) {
    XmlParseOptions options;
    XmlNode node;
    ASSERT_NE(node.Load("<a x='1'><b/><c/></a>", options), nullptr);
    ASSERT_EQ(node.ChildCount(), 2);
    ASSERT_NE(node.Load("<d>t</d>", options), nullptr);
    EXPECT_EQ(Dump(node), "d=\"t\"");
    // A value that is not blank is kept: the element's text is not read.
    node.value = "kept";
    ASSERT_NE(node.Load("<e>t<f/></e>", options), nullptr);
    EXPECT_EQ(Dump(node), "e=\"kept\"{f}");
    // An empty name in the text leaves the old name.
    ASSERT_NE(node.Load("< x='1'/>", options), nullptr);
    EXPECT_EQ(Dump(node), "e[x=1]=\"kept\"");
}

TEST(XmlParse, ChildrenInheritDocumentAndType) {
    XmlNode document;
    XmlNode root;
    root.document = &document;
    XmlParseOptions options;
    ASSERT_NE(root.Load("<a><b><c/></b></a>", options), nullptr);
    const XmlNode* c = root.FindDescendant("c");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->document, &document);
    EXPECT_EQ(c->parent->parent, &root);
}

TEST(XmlParse, ValuesFollowTheTableAndEscapeOfTheOptions) {
    // Entity texts of a table that do not start with "&", and escapes,
    // must be seen wherever a value is read.
    XmlEntityTable table(2);
    table[0] = {'@', "#at;", 4};
    table[1] = {'&', "&amp;", 5};
    const struct {
        const char* text;
        const XmlEntityTable* entities;
        char esc;
        bool trim;
        const char* tree;
    } cases[] = {
        {"<a v='x#at;y'>#at;&lt;</a>", &table, '\\', false, "a[v=x@y]=\"@&lt;\""},
        {"<a v='&lt;'>&amp;</a>", &table, '\\', false, "a[v=&lt;]=\"&\""},
        {"<a v='#at;' w=#at;>t#at;</a>", &table, '#', false, "a[v=at;,w=at;]=\"tat;\""},
        {"<a v=' &lt; '> &gt;\\&lt; </a>", &XmlDefaultEntities(), '\\', true, "a[v=<]=\"><\""},
        {"<a v='&lt;'>&gt;</a>", nullptr, '\\', false, "a[v=&lt;]=\"&gt;\""},
    };
    for (const auto& c : cases) {
        XmlParseOptions options;
        options.entities = c.entities;
        options.escapeChar = c.esc;
        options.trimText = c.trim;
        XmlNode root;
        ASSERT_NE(root.Load(c.text, options), nullptr) << c.text;
        EXPECT_EQ(Dump(root), c.tree) << c.text;
    }
}

} // namespace
