#include "xml/xml_node.h"

#include <utility>

namespace {

// Destroys a list of subtrees without recursion: each node's children are
// moved onto the pending list before the node itself is destroyed, so the
// destructor of every node runs with an empty child list.
void DestroySubtrees(std::vector<std::unique_ptr<XmlNode>>& nodes, std::vector<std::unique_ptr<XmlNode>>& pending) {
    for (auto& node : nodes) pending.push_back(std::move(node));
    nodes.clear();
}

} // namespace

XmlNode::~XmlNode() { Clear(); }

void XmlNode::Clear() {
    attributes_.clear();
    if (children_.empty()) return;
    std::vector<std::unique_ptr<XmlNode>> pending;
    DestroySubtrees(children_, pending);
    while (!pending.empty()) {
        std::unique_ptr<XmlNode> node = std::move(pending.back());
        pending.pop_back();
        DestroySubtrees(node->children_, pending);
    }
}

XmlAttribute* XmlNode::FindAttribute(std::string_view attributeName) const {
    for (const auto& attribute : attributes_) {
        if (attribute->name == attributeName) return attribute.get();
    }
    return nullptr;
}

const std::string* XmlNode::AttributeValue(std::string_view attributeName) const {
    const XmlAttribute* attribute = FindAttribute(attributeName);
    return attribute != nullptr ? &attribute->value : nullptr;
}

XmlAttribute* XmlNode::AttributeAt(int index) const {
    if (index < 0 || index >= AttributeCount()) return nullptr;
    return attributes_[static_cast<std::size_t>(index)].get();
}

std::vector<XmlAttribute*> XmlNode::Attributes() const {
    std::vector<XmlAttribute*> list;
    list.reserve(attributes_.size());
    for (const auto& attribute : attributes_) list.push_back(attribute.get());
    return list;
}

XmlNode* XmlNode::FindChild(std::string_view childName) const {
    for (const auto& child : children_) {
        if (child->name == childName) return child.get();
    }
    return nullptr;
}

std::vector<XmlNode*> XmlNode::FindChildren(std::string_view childName) const {
    std::vector<XmlNode*> list;
    for (const auto& child : children_) {
        if (child->name == childName) list.push_back(child.get());
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
    return children_[static_cast<std::size_t>(index)].get();
}

std::vector<XmlNode*> XmlNode::Children() const {
    std::vector<XmlNode*> list;
    list.reserve(children_.size());
    for (const auto& child : children_) list.push_back(child.get());
    return list;
}

XmlNode* XmlNode::FindDescendant(std::string_view descendantName) const {
    // Pre-order with an explicit stack: children are pushed in reverse so
    // that the first child is tested first, and its subtree before its
    // next sibling.
    std::vector<XmlNode*> pending;
    for (auto it = children_.rbegin(); it != children_.rend(); ++it) pending.push_back(it->get());
    while (!pending.empty()) {
        XmlNode* node = pending.back();
        pending.pop_back();
        if (node->name == descendantName) return node;
        for (auto it = node->children_.rbegin(); it != node->children_.rend(); ++it) pending.push_back(it->get());
    }
    return nullptr;
}

XmlNode* XmlNode::FirstElementChild() const {
    for (const auto& child : children_) {
        if (child->type == XmlNodeElement) return child.get();
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
    children_.push_back(std::move(node));
    return children_.back().get();
}

XmlNode* XmlNode::AppendChild(std::string_view nodeName, std::string_view nodeValue) {
    return AppendChild(CreateNode(nodeName, nodeValue));
}

bool XmlNode::RemoveChild(const XmlNode* node) {
    for (auto it = children_.begin(); it != children_.end(); ++it) {
        if (it->get() == node) {
            std::unique_ptr<XmlNode> removed = std::move(*it);
            children_.erase(it);
            return true; // removed and its subtree are destroyed here
        }
    }
    return false;
}

XmlAttribute* XmlNode::AppendAttribute(std::unique_ptr<XmlAttribute> attribute) {
    if (attribute == nullptr) return nullptr;
    attribute->parent = this;
    attributes_.push_back(std::move(attribute));
    return attributes_.back().get();
}

XmlAttribute* XmlNode::AppendAttribute(std::string_view attributeName, std::string_view attributeValue) {
    return AppendAttribute(CreateAttribute(attributeName, attributeValue));
}

bool XmlNode::RemoveAttribute(const XmlAttribute* attribute) { return DetachAttribute(attribute) != nullptr; }

std::unique_ptr<XmlAttribute> XmlNode::DetachAttribute(const XmlAttribute* attribute) {
    for (auto it = attributes_.begin(); it != attributes_.end(); ++it) {
        if (it->get() == attribute) {
            std::unique_ptr<XmlAttribute> detached = std::move(*it);
            attributes_.erase(it);
            detached->parent = nullptr;
            return detached;
        }
    }
    return nullptr;
}

void XmlNode::CopyNode(const XmlNode& source) {
    // The source's fields are taken before Clear, which would destroy them
    // when source is this node.
    std::vector<std::unique_ptr<XmlAttribute>> copies;
    copies.reserve(source.attributes_.size());
    for (const auto& attribute : source.attributes_)
        copies.push_back(CreateAttribute(attribute->name, attribute->value));
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
    for (auto& attribute : copies) AppendAttribute(std::move(attribute));
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
        for (const auto& child : from->children_) {
            auto node = std::make_unique<XmlNode>();
            node->CopyNode(*child);
            pending.emplace_back(child.get(), to->AppendChild(std::move(node)));
        }
    }
    Clear();
    document = copy.document;
    parent = copy.parent;
    name = std::move(copy.name);
    value = std::move(copy.value);
    type = copy.type;
    attributes_ = std::move(copy.attributes_);
    copy.attributes_.clear();
    for (auto& attribute : attributes_) attribute->parent = this;
    children_ = std::move(copy.children_);
    copy.children_.clear();
    for (auto& child : children_) child->parent = this;
}

XmlNode* XmlNode::AppendChildBranch(const XmlNode& node) {
    auto branch = std::make_unique<XmlNode>();
    branch->CopyBranch(node);
    return AppendChild(std::move(branch));
}
