// Failed parses: each case gives the text, the options that differ from the
// defaults, and the error fields Load must leave in a fresh record. A
// position of -1 means none; errorOccurred is false only for the tag that
// runs into the end of the text, which writes its text alone.
#include "tree_dump.h"
#include "xml/xml_node.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct ErrorCase {
    const char* text;
    bool tolerate;
    bool occurred;
    XmlParseError code;
    std::ptrdiff_t position;
    const char* message;
    const char* tree; // what stays in the tree
};

constexpr const char* kNoAttributes = "No attributes found in xml stream";

void CheckErrors(const ErrorCase* cases, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const ErrorCase& c = cases[i];
        SCOPED_TRACE(testing::Message() << "case " << i << ": " << c.text);
        XmlParseOptions options;
        options.tolerateMismatch = c.tolerate;
        XmlNode root;
        EXPECT_EQ(root.Load(c.text, options), nullptr);
        EXPECT_EQ(options.errorOccurred, c.occurred);
        EXPECT_EQ(options.errorCode, c.code);
        if (c.position < 0) {
            EXPECT_EQ(options.errorPosition, nullptr);
        } else {
            EXPECT_EQ(options.errorPosition - c.text, c.position);
        }
        EXPECT_EQ(options.errorText, c.message);
        EXPECT_EQ(Dump(root), c.tree);
        EXPECT_TRUE(LinksConsistent(root));
    }
}

TEST(XmlParseErrors, DescribedFailures) {
    const ErrorCase cases[] = {
        {"no tag", false, true, XmlErrorUnclosed, -1, "XML open tag not found", ""},
        {"", false, true, XmlErrorUnclosed, -1, "XML open tag not found", ""},
        {"<a flag>text</a>", false, true, XmlErrorBadAttribute, 3, kNoAttributes, "a"},
        {"<a x>", false, true, XmlErrorBadAttribute, 3, kNoAttributes, "a"},
        {"<a x=a\\ b>", false, true, XmlErrorBadAttribute, 8, kNoAttributes, "a[x=a]"},
        {"<a", false, false, XmlErrorNone, -1, kNoAttributes, "a"},
        {"<a x='1'", false, false, XmlErrorNone, -1, kNoAttributes, "a[x=1]"},
        {"<a x=1", false, false, XmlErrorNone, -1, kNoAttributes, "a[x=1]"},
        {"<a x=1 \r\n", false, false, XmlErrorNone, -1, kNoAttributes, "a[x=1]"},
        {"<a ", false, false, XmlErrorNone, -1, kNoAttributes, "a"},
        {"<a/ >", false, true, XmlErrorEmptyTagUnclosed, 3, "Element must be closed.", "a"},
        {"<r><a/ ></r>", false, true, XmlErrorEmptyTagUnclosed, 6, "Element must be closed.", "r{a}"},
        {"<a></b>", false, true, XmlErrorMismatchedClose, 7, "'<a> ... </b>' is not wel-formed.", "a"},
        {"<a></A>", false, true, XmlErrorMismatchedClose, 7, "'<a> ... </A>' is not wel-formed.", "a"},
        {"<a></ b >", false, true, XmlErrorMismatchedClose, 8, "'<a> ... </b>' is not wel-formed.", "a"},
        {"<a><b></a></b>", false, true, XmlErrorMismatchedClose, 10, "'<b> ... </a>' is not wel-formed.", "a{b}"},
        {"<a></a", false, true, XmlErrorUnclosed, 5, "it must be closed with </a>", "a"},
        {"<a><b></b", true, true, XmlErrorUnclosed, 8, "it must be closed with </b>", "a{b}"},
        // Text after a child of an element whose value is set is skipped by
        // the next child's search for "<", which then finds none.
        {"<a>x<b/>tail", false, true, XmlErrorUnclosed, -1, "XML open tag not found", "a=\"x\"{b}"},
    };
    CheckErrors(cases, std::size(cases));
}

TEST(XmlParseErrors, TextEndingInsideAConstruct) {
    const ErrorCase cases[] = {
        {"<!-- x", false, true, XmlErrorUnexpectedEnd, 0, "XML text ends inside a comment", ""},
        {"<a><!-- x", false, true, XmlErrorUnexpectedEnd, 3, "XML text ends inside a comment", "a"},
        {"<a><!-- x -\\", false, true, XmlErrorUnexpectedEnd, 3, "XML text ends inside a comment", "a"},
        {"<a><!-- x\\", false, true, XmlErrorUnexpectedEnd, 3, "XML text ends inside a comment", "a"},
        {"<a><![CDATA[x]]", false, true, XmlErrorUnexpectedEnd, 3, "XML text ends inside a CDATA section", "a"},
        {"<a><![CDATA[x]\\", false, true, XmlErrorUnexpectedEnd, 3, "XML text ends inside a CDATA section", "a"},
        {"<?xml", false, true, XmlErrorUnexpectedEnd, 0, "XML text ends inside a processing instruction", ""},
        {"<a><?x ?\\", false, true, XmlErrorUnexpectedEnd, 3, "XML text ends inside a processing instruction", "a"},
        {"<a x='1>", false, true, XmlErrorUnexpectedEnd, 5, "XML text ends inside a quoted value", "a[x=]"},
        {"<a x=\"abc\\", false, true, XmlErrorUnexpectedEnd, 5, "XML text ends inside a quoted value", "a[x=]"},
        {"<a x=\"abc\\\"", false, true, XmlErrorUnexpectedEnd, 5, "XML text ends inside a quoted value", "a[x=]"},
        {"<r><b/><a y='1' x='", false, true, XmlErrorUnexpectedEnd, 18, "XML text ends inside a quoted value",
         "r{b a[y=1,x=]}"},
        // A final backslash in a tag or in a closing tag.
        {"<a x=1\\", false, false, XmlErrorNone, -1, kNoAttributes, "a[x=1]"},
        {"<a></a\\", false, true, XmlErrorUnclosed, 5, "it must be closed with </a>", "a"},
    };
    CheckErrors(cases, std::size(cases));
}

TEST(XmlParseErrors, NestingDepthIsLimited) {
    for (const int depth : {999, 1000}) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "<a>";
        for (int i = 0; i < depth; ++i) text += "</a>";
        XmlParseOptions options;
        XmlNode root;
        EXPECT_EQ(root.Load(text.c_str(), options), text.c_str() + text.size()) << depth;
        EXPECT_FALSE(options.errorOccurred);
        int levels = 1;
        for (const XmlNode* node = &root; node->ChildCount() > 0; node = node->ChildAt(0)) ++levels;
        EXPECT_EQ(levels, depth);
    }
    // Comments and closing tags do not count as levels.
    for (const int depth : {1001, 100000}) {
        std::string text;
        for (int i = 0; i < depth; ++i) text += "<a><!--c-->";
        XmlParseOptions options;
        XmlNode root;
        EXPECT_EQ(root.Load(text.c_str(), options), nullptr);
        EXPECT_TRUE(options.errorOccurred);
        EXPECT_EQ(options.errorCode, XmlErrorTooDeep);
        EXPECT_EQ(options.errorPosition - text.c_str(), 1000 * 11) << "the 1001st element's <";
        EXPECT_EQ(options.errorText, "XML elements nested deeper than 1000 levels");
        int levels = 1;
        for (const XmlNode* node = &root; node->FindChild("a") != nullptr; node = node->FindChild("a")) ++levels;
        EXPECT_EQ(levels, 1000) << "the accepted levels stay";
    }
}

TEST(XmlParseErrors, ErrorFieldsOfAReusedRecordAreSticky) {
    XmlParseOptions options;
    XmlNode node;
    const std::string first = "<a></b>";
    ASSERT_EQ(node.Load(first.c_str(), options), nullptr);
    ASSERT_EQ(options.errorCode, XmlErrorMismatchedClose);

    // Later failures keep the first code, position and text...
    const std::string second = "<a/ >";
    EXPECT_EQ(node.Load(second.c_str(), options), nullptr);
    EXPECT_EQ(options.errorCode, XmlErrorMismatchedClose);
    EXPECT_EQ(options.errorPosition, first.c_str() + 7);
    EXPECT_EQ(options.errorText, "'<a> ... </b>' is not wel-formed.");
    const std::string cut = "<a><!--";
    EXPECT_EQ(node.Load(cut.c_str(), options), nullptr);
    EXPECT_EQ(options.errorCode, XmlErrorMismatchedClose);

    // ...and a success clears nothing.
    EXPECT_NE(node.Load("<a/>", options), nullptr);
    EXPECT_TRUE(options.errorOccurred);
    EXPECT_EQ(options.errorCode, XmlErrorMismatchedClose);

    // A bad attribute keeps the old code but its text is always written.
    EXPECT_EQ(node.Load("<a x>", options), nullptr);
    EXPECT_EQ(options.errorCode, XmlErrorMismatchedClose);
    EXPECT_EQ(options.errorPosition, first.c_str() + 7);
    EXPECT_EQ(options.errorText, kNoAttributes);

    // A text without "<" overwrites everything.
    EXPECT_EQ(node.Load("none", options), nullptr);
    EXPECT_EQ(options.errorCode, XmlErrorUnclosed);
    EXPECT_EQ(options.errorPosition, nullptr);
    EXPECT_EQ(options.errorText, "XML open tag not found");
}

TEST(XmlParseErrors, TheSharedDefaultRecordKeepsItsError) {
    XmlParseOptions& shared = XmlDefaultParseOptions();
    const XmlParseOptions saved = shared;
    EXPECT_FALSE(shared.trimText);
    EXPECT_TRUE(shared.decodeEntities);
    EXPECT_EQ(shared.entities, &XmlDefaultEntities());
    EXPECT_EQ(shared.escapeChar, '\\');
    EXPECT_FALSE(shared.tolerateMismatch);

    XmlNode node;
    EXPECT_EQ(node.Load("<a/ >", XmlDefaultParseOptions()), nullptr);
    EXPECT_TRUE(XmlDefaultParseOptions().errorOccurred);
    EXPECT_EQ(XmlDefaultParseOptions().errorCode, XmlErrorEmptyTagUnclosed);
    shared = saved;
}

} // namespace
