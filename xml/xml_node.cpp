#include "xml/xml_node.h"

#include <iterator>
#include <utility>

XmlNode::~XmlNode() { Clear(); }

void XmlNode::Clear() {
    // Without recursion: each node's children are moved onto the pending
    // list before the node itself is destroyed, so the destructor of every
    // node runs with an empty child list.
    attributes_.Clear();
    if (children_.Empty()) return;
    // The pending list starts as the child list itself, which is then as
    // long as it needs to be for most trees.
    XmlOwnedList<XmlNode> pending;
    pending.Swap(children_);
    while (!pending.Empty()) {
        std::unique_ptr<XmlNode> node = pending.RemoveLast();
        pending.TakeAll(node->children_);
    }
}

XmlAttribute* XmlNode::FindAttribute(std::string_view attributeName) const {
    for (XmlAttribute* attribute : attributes_) {
        if (attribute->name == attributeName) return attribute;
    }
    return nullptr;
}

const std::string* XmlNode::AttributeValue(std::string_view attributeName) const {
    const XmlAttribute* attribute = FindAttribute(attributeName);
    return attribute != nullptr ? &attribute->value : nullptr;
}

XmlAttribute* XmlNode::AttributeAt(int index) const {
    if (index < 0 || index >= AttributeCount()) return nullptr;
    return attributes_[static_cast<std::size_t>(index)];
}

std::vector<XmlAttribute*> XmlNode::Attributes() const { return {attributes_.begin(), attributes_.end()}; }

XmlNode* XmlNode::FindChild(std::string_view childName) const {
    for (XmlNode* child : children_) {
        if (child->name == childName) return child;
    }
    return nullptr;
}

std::vector<XmlNode*> XmlNode::FindChildren(std::string_view childName) const {
    std::vector<XmlNode*> list;
    for (XmlNode* child : children_) {
        if (child->name == childName) list.push_back(child);
    }
    return list;
}

const std::string* XmlNode::ChildValue(std::string_view childName) const {
    const XmlNode* child = FindChild(childName);
    return child != nullptr ? &child->value : nullptr;
}

XmlAttribute* XmlNode::ChildAttribute(std::string_view childName, std::string_view attributeName) const {
    const XmlNode* child = FindChild(childName);
    return child != nullptr ? child->FindAttribute(attributeName) : nullptr;
}

const std::string* XmlNode::ChildAttributeValue(std::string_view childName, std::string_view attributeName) const {
    const XmlAttribute* attribute = ChildAttribute(childName, attributeName);
    return attribute != nullptr ? &attribute->value : nullptr;
}

XmlNode* XmlNode::ChildAt(int index) const {
    if (index < 0 || index >= ChildCount()) return nullptr;
    return children_[static_cast<std::size_t>(index)];
}

std::vector<XmlNode*> XmlNode::Children() const { return {children_.begin(), children_.end()}; }

XmlNode* XmlNode::FindDescendant(std::string_view descendantName) const {
    // Pre-order with an explicit stack: children are pushed in reverse so
    // that the first child is tested first, and its subtree before its
    // next sibling.
    std::vector<XmlNode*> pending(std::make_reverse_iterator(children_.end()),
                                  std::make_reverse_iterator(children_.begin()));
    while (!pending.empty()) {
        XmlNode* node = pending.back();
        pending.pop_back();
        if (node->name == descendantName) return node;
        pending.insert(pending.end(), std::make_reverse_iterator(node->children_.end()),
                       std::make_reverse_iterator(node->children_.begin()));
    }
    return nullptr;
}

XmlNode* XmlNode::FirstElementChild() const {
    for (XmlNode* child : children_) {
        if (child->type == XmlNodeElement) return child;
    }
    return nullptr;
}

std::unique_ptr<XmlNode> XmlNode::CreateNode(std::string_view nodeName, std::string_view nodeValue) {
    auto node = std::make_unique<XmlNode>();
    node->name = nodeName;
    node->value = nodeValue;
    return node;
}

std::unique_ptr<XmlAttribute> XmlNode::CreateAttribute(std::string_view attributeName,
                                                       std::string_view attributeValue) {
    auto attribute = std::make_unique<XmlAttribute>();
    attribute->name = attributeName;
    attribute->value = attributeValue;
    return attribute;
}

XmlNode* XmlNode::AppendChild(std::unique_ptr<XmlNode> node) {
    if (node == nullptr) return nullptr;
    node->parent = this;
    node->document = document;
    return children_.Append(std::move(node));
}

XmlNode* XmlNode::AppendChild(std::string_view nodeName, std::string_view nodeValue) {
    return AppendChild(CreateNode(nodeName, nodeValue));
}

bool XmlNode::RemoveChild(const XmlNode* node) {
    for (std::size_t i = 0; i < children_.Size(); ++i) {
        if (children_[i] == node) {
            children_.Remove(i); // destroyed here with its subtree
            return true;
        }
    }
    return false;
}

XmlAttribute* XmlNode::AppendAttribute(std::unique_ptr<XmlAttribute> attribute) {
    if (attribute == nullptr) return nullptr;
    attribute->parent = this;
    return attributes_.Append(std::move(attribute));
}

XmlAttribute* XmlNode::AppendAttribute(std::string_view attributeName, std::string_view attributeValue) {
    return AppendAttribute(CreateAttribute(attributeName, attributeValue));
}

bool XmlNode::RemoveAttribute(const XmlAttribute* attribute) { return DetachAttribute(attribute) != nullptr; }

std::unique_ptr<XmlAttribute> XmlNode::DetachAttribute(const XmlAttribute* attribute) {
    for (std::size_t i = 0; i < attributes_.Size(); ++i) {
        if (attributes_[i] == attribute) {
            std::unique_ptr<XmlAttribute> detached = attributes_.Remove(i);
            detached->parent = nullptr;
            return detached;
        }
    }
    return nullptr;
}

void XmlNode::CopyNode(const XmlNode& source) {
    // The source's fields are taken before Clear, which would destroy them
    // when source is this node.
    XmlOwnedList<XmlAttribute> copies;
    copies.Reserve(source.attributes_.Size());
    for (const XmlAttribute* attribute : source.attributes_)
        copies.Append(CreateAttribute(attribute->name, attribute->value));
    XmlNode* sourceDocument = source.document;
    XmlNode* sourceParent = source.parent;
    std::string sourceName = source.name;
    std::string sourceValue = source.value;
    const XmlNodeType sourceType = source.type;
    Clear();
    document = sourceDocument;
    parent = sourceParent;
    name = std::move(sourceName);
    value = std::move(sourceValue);
    type = sourceType;
    for (XmlAttribute* attribute : copies) attribute->parent = this;
    attributes_.TakeAll(copies);
}

void XmlNode::CopyBranch(const XmlNode& source) {
    // The copy is built apart first, without recursion, so that a source
    // inside this node's own subtree is still intact while it is read.
    XmlNode copy;
    copy.CopyNode(source);
    std::vector<std::pair<const XmlNode*, XmlNode*>> pending{{&source, &copy}};
    while (!pending.empty()) {
        auto [from, to] = pending.back();
        pending.pop_back();
        to->children_.Reserve(from->children_.Size());
        for (const XmlNode* child : from->children_) {
            auto node = std::make_unique<XmlNode>();
            node->CopyNode(*child);
            pending.emplace_back(child, to->AppendChild(std::move(node)));
        }
    }
    Clear();
    document = copy.document;
    parent = copy.parent;
    name = std::move(copy.name);
    value = std::move(copy.value);
    type = copy.type;
    attributes_ = std::move(copy.attributes_);
    for (XmlAttribute* attribute : attributes_) attribute->parent = this;
    children_ = std::move(copy.children_);
    for (XmlNode* child : children_) child->parent = this;
}

XmlNode* XmlNode::AppendChildBranch(const XmlNode& node) {
    auto branch = std::make_unique<XmlNode>();
    branch->CopyBranch(node);
    return AppendChild(std::move(branch));
}
