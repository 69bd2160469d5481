// A one-line picture of a tree, for comparing parse results with tables:
//   name[:type][attr=value,...][="value"][{child child ...}]
// The type is shown when it is not element; "\r", "\n" and "\t" in values
// are shown as those two-character escapes.
#pragma once

#include "xml/xml_node.h"

#include <string>

std::string Dump(const XmlNode& node);

// Checks that every child's and attribute's parent link names its owner,
// through the whole subtree.
bool LinksConsistent(const XmlNode& node);
