// Queries and editing, and who owns what: the allocation counter tells
// whether an operation destroyed a subtree or handed it back.
#include "allocation_counter.h"
#include "tree_dump.h"
#include "xml/xml_node.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const char* kConfig = "<config a='1' b='2' a='3'>"
                      "<logger name='root'><level value='INFO'/></logger>"
                      "<!--c-->"
                      "<logger name='com'>text</logger>"
                      "<appender name='file'><param name='x'/></appender>"
                      "</config>";

class XmlQueries : public testing::Test {
protected:
    void SetUp() override { ASSERT_NE(root.Load(kConfig, options), nullptr); }
    XmlParseOptions options;
    XmlNode root;
};

TEST_F(XmlQueries, Attributes) {
    EXPECT_EQ(root.AttributeCount(), 3);
    ASSERT_NE(root.FindAttribute("a"), nullptr);
    EXPECT_EQ(root.FindAttribute("a"), root.AttributeAt(0)) << "the first of duplicates";
    EXPECT_EQ(*root.AttributeValue("b"), "2");
    EXPECT_EQ(root.FindAttribute("A"), nullptr);
    EXPECT_EQ(root.AttributeValue("missing"), nullptr);
    EXPECT_EQ(root.AttributeAt(-1), nullptr);
    EXPECT_EQ(root.AttributeAt(3), nullptr);
    EXPECT_EQ(root.AttributeAt(2)->value, "3");
    EXPECT_EQ(root.Attributes().size(), 3u);
}

TEST_F(XmlQueries, Children) {
    EXPECT_EQ(root.ChildCount(), 4);
    EXPECT_EQ(root.FindChild("logger"), root.ChildAt(0));
    const std::vector<XmlNode*> loggers = root.FindChildren("logger");
    ASSERT_EQ(loggers.size(), 2u);
    EXPECT_EQ(loggers[1], root.ChildAt(2));
    EXPECT_TRUE(root.FindChildren("none").empty());
    EXPECT_EQ(root.ChildAt(-1), nullptr);
    EXPECT_EQ(root.ChildAt(4), nullptr);
    EXPECT_EQ(root.Children().size(), 4u);
    EXPECT_EQ(root.Children()[1]->name, "#COMMENT");
    EXPECT_EQ(*root.ChildValue("logger"), "") << "the first logger has no text";
    EXPECT_EQ(root.ChildValue("none"), nullptr);
    EXPECT_EQ(*root.ChildAttributeValue("appender", "name"), "file");
    EXPECT_EQ(root.ChildAttribute("appender", "none"), nullptr);
    EXPECT_EQ(root.ChildAttribute("none", "name"), nullptr);
    EXPECT_EQ(root.ChildAttributeValue("logger", "none"), nullptr);
}

TEST_F(XmlQueries, DescendantsArePreOrderAndExcludeTheNodeItself) {
    EXPECT_EQ(root.FindDescendant("config"), nullptr);
    EXPECT_EQ(root.FindDescendant("level"), root.ChildAt(0)->ChildAt(0));
    EXPECT_EQ(root.FindDescendant("param"), root.ChildAt(3)->ChildAt(0));
    EXPECT_EQ(root.FindDescendant("none"), nullptr);

    // A match deep in the first child comes before a direct second child.
    XmlNode tree;
    tree.AppendChild("x", "")->AppendChild("y", "")->AppendChild("t", "deep");
    tree.AppendChild("t", "shallow");
    EXPECT_EQ(tree.FindDescendant("t")->value, "deep");
}

TEST(XmlEditing, FirstElementChildSkipsOtherKinds) {
    XmlNode node;
    EXPECT_EQ(node.FirstElementChild(), nullptr);
    node.AppendChild("#COMMENT", "c")->type = XmlNodeComment;
    EXPECT_EQ(node.FirstElementChild(), nullptr);
    XmlNode* element = node.AppendChild("e", "");
    EXPECT_EQ(node.FirstElementChild(), element);
}

TEST(XmlEditing, AppendSetsLinks) {
    XmlNode document;
    XmlNode root;
    root.document = &document;
    XmlNode* child = root.AppendChild(XmlNode::CreateNode("c", "v"));
    EXPECT_EQ(child->parent, &root);
    EXPECT_EQ(child->document, &document);
    EXPECT_EQ(child->type, XmlNodeElement);
    EXPECT_EQ(Dump(root), "{c=\"v\"}");
    XmlAttribute* attribute = child->AppendAttribute(XmlNode::CreateAttribute("n", "w"));
    EXPECT_EQ(attribute->parent, child);
    EXPECT_EQ(root.AppendChild(nullptr), nullptr);
    EXPECT_EQ(root.AppendAttribute(nullptr), nullptr);
    EXPECT_EQ(root.ChildCount(), 1);
    EXPECT_EQ(root.AttributeCount(), 0);
}

// A subtree of n nodes under parent, each with one attribute.
XmlNode* Build(XmlNode& parent, int n) {
    XmlNode* top = parent.AppendChild("top", "");
    XmlNode* node = top;
    for (int i = 1; i < n; ++i) {
        node = node->AppendChild("n" + std::to_string(i), "some value that is long enough to be on the heap");
        node->AppendAttribute("attr", "another value that is long enough to be on the heap");
    }
    return top;
}

TEST(XmlOwnership, RemoveChildDestroysTheSubtree) {
    XmlNode root;
    XmlNode* keep = root.AppendChild("keep", "");
    const long before = LiveAllocations();
    XmlNode* top = Build(root, 50);
    EXPECT_GT(LiveAllocations(), before + 100);
    EXPECT_FALSE(root.RemoveChild(top->ChildAt(0))) << "not a direct child";
    EXPECT_FALSE(root.RemoveChild(nullptr));
    EXPECT_TRUE(root.RemoveChild(top));
    EXPECT_EQ(root.ChildCount(), 1);
    EXPECT_EQ(root.ChildAt(0), keep);
    // The child list itself may keep its capacity.
    EXPECT_LE(LiveAllocations(), before + 1);
}

TEST(XmlOwnership, ClearDestroysChildrenAndAttributesButKeepsTheRest) {
    XmlNode document;
    XmlNode parent;
    XmlNode root;
    root.name = "r";
    root.value = "v";
    root.parent = &parent;
    root.document = &document;
    root.type = XmlNodeCData;
    const long before = LiveAllocations();
    Build(root, 30);
    Build(root, 30);
    for (int i = 0; i < 20; ++i) root.AppendAttribute("a" + std::to_string(i), "a value long enough for the heap");
    root.Clear();
    EXPECT_LE(LiveAllocations(), before + 2);
    EXPECT_EQ(root.ChildCount(), 0);
    EXPECT_EQ(root.AttributeCount(), 0);
    EXPECT_EQ(root.name, "r");
    EXPECT_EQ(root.value, "v");
    EXPECT_EQ(root.parent, &parent);
    EXPECT_EQ(root.document, &document);
    EXPECT_EQ(root.type, XmlNodeCData);
}

TEST(XmlOwnership, DetachHandsTheAttributeBack) {
    XmlNode node;
    XmlAttribute* first = node.AppendAttribute("first", "a value long enough to be on the heap");
    XmlAttribute* second = node.AppendAttribute("second", "2");
    XmlNode other;
    XmlAttribute* foreign = other.AppendAttribute("foreign", "3");

    EXPECT_EQ(node.DetachAttribute(foreign), nullptr);
    EXPECT_FALSE(node.RemoveAttribute(foreign));
    EXPECT_EQ(other.AttributeCount(), 1);

    const long before = LiveAllocations();
    std::unique_ptr<XmlAttribute> detached = node.DetachAttribute(first);
    ASSERT_EQ(detached.get(), first);
    EXPECT_EQ(LiveAllocations(), before) << "nothing destroyed";
    EXPECT_EQ(detached->parent, nullptr);
    EXPECT_EQ(detached->value, "a value long enough to be on the heap");
    EXPECT_EQ(node.AttributeCount(), 1);
    EXPECT_EQ(node.AttributeAt(0), second);
    EXPECT_EQ(node.DetachAttribute(first), nullptr) << "already gone";

    // It can be attached elsewhere.
    XmlAttribute* moved = other.AppendAttribute(std::move(detached));
    EXPECT_EQ(moved, first);
    EXPECT_EQ(moved->parent, &other);

    const long beforeRemove = LiveAllocations();
    EXPECT_TRUE(other.RemoveAttribute(moved));
    EXPECT_LT(LiveAllocations(), beforeRemove) << "the attribute and its value are freed";
    EXPECT_EQ(other.AttributeCount(), 1);
    EXPECT_EQ(other.AttributeAt(0), foreign);
}

TEST(XmlEditing, CopyNodeCopiesFieldsAndAttributesOnly) {
    XmlNode document;
    XmlNode parent;
    XmlNode source;
    source.name = "s";
    source.value = "v";
    source.parent = &parent;
    source.document = &document;
    source.type = XmlNodeComment;
    source.AppendAttribute("a", "1");
    source.AppendAttribute("b", "2");
    source.AppendChild("child", "");

    XmlNode target;
    target.AppendChild("old", "");
    target.AppendAttribute("old", "");
    target.CopyNode(source);
    EXPECT_EQ(Dump(target), "s:2[a=1,b=2]=\"v\"");
    EXPECT_EQ(target.parent, &parent);
    EXPECT_EQ(target.document, &document);
    EXPECT_NE(target.AttributeAt(0), source.AttributeAt(0));
    EXPECT_EQ(target.AttributeAt(0)->parent, &target);

    source.CopyNode(source);
    EXPECT_EQ(Dump(source), "s:2[a=1,b=2]=\"v\"") << "a copy of itself keeps the attributes";
}

TEST(XmlEditing, CopyBranchIsDeepAndIndependent) {
    XmlParseOptions options;
    XmlNode source;
    ASSERT_NE(source.Load("<a x='1'><b y='2'><c/>t</b><!--n--><d/></a>", options), nullptr);
    const std::string picture = Dump(source);

    XmlNode copy;
    copy.AppendChild("old", "");
    copy.CopyBranch(source);
    EXPECT_EQ(Dump(copy), picture);
    EXPECT_TRUE(LinksConsistent(copy));
    copy.ChildAt(0)->value = "changed";
    copy.ChildAt(0)->ChildAt(0)->AppendAttribute("z", "3");
    EXPECT_EQ(Dump(source), picture);

    XmlNode holder;
    XmlNode* appended = holder.AppendChildBranch(source);
    EXPECT_EQ(appended->parent, &holder);
    EXPECT_EQ(Dump(*appended), picture);
    EXPECT_TRUE(LinksConsistent(holder));

    // From inside its own subtree: the branch below b replaces the whole.
    XmlNode* b = source.FindChild("b");
    source.CopyBranch(*b);
    EXPECT_EQ(Dump(source), "b[y=2]=\"t\"{c}");
    EXPECT_TRUE(LinksConsistent(source));
}

TEST(XmlEditing, TreesOfAnyDepthAreCopiedSearchedAndDestroyed) {
    // Deeper than any stack would allow for one frame per level.
    constexpr int kDepth = 200000;
    auto root = std::make_unique<XmlNode>();
    XmlNode* node = root.get();
    for (int i = 0; i < kDepth; ++i) node = node->AppendChild("n", "");
    node->name = "bottom";
    EXPECT_EQ(root->FindDescendant("bottom"), node);
    XmlNode copy;
    copy.CopyBranch(*root);
    EXPECT_NE(copy.FindDescendant("bottom"), nullptr);
    root.reset();
    copy.Clear();
    EXPECT_EQ(copy.ChildCount(), 0);
}

} // namespace
