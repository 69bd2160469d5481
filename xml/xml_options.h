// Options of the XML reader and writer, and the shared default records.
#pragma once

#include "xml/xml_entities.h"

#include <cstdint>
#include <string>

enum XmlParseError : std::int32_t {
    XmlErrorNone = 0,
    // A "/" inside a tag that is not followed by ">".
    XmlErrorEmptyTagUnclosed = 1,
    // No "<" at all, or a closing tag whose name runs into the end.
    XmlErrorUnclosed = 2,
    // A closing tag that names another element.
    XmlErrorMismatchedClose = 3,
    // An attribute name followed by neither a space nor "=".
    XmlErrorBadAttribute = 4,
    // An element nested deeper than kXmlMaxDepth levels.
    XmlErrorTooDeep = 5,
    // The text ends inside a comment, CDATA section, processing instruction
    // or quoted attribute value.
    XmlErrorUnexpectedEnd = 6,
};

// The deepest nesting of elements that Load accepts; the root is level 1.
// Load recurses once per level, so this bounds its stack use (a few hundred
// kilobytes at most, well inside a 1 MB thread stack).
constexpr int kXmlMaxDepth = 1000;

// The record that every parse step reads and that receives the error. The
// error fields are only ever set by the parser, never cleared: a record that
// is reused keeps the first error (code, position and text) of its earlier
// parses; see xml_node.h for the two texts that are always written.
struct XmlParseOptions {
    // Trim white space from both ends of attribute values and element text.
    bool trimText = false;
    // Replace entity texts by their characters in values and element text.
    bool decodeEntities = true;
    // The table used for decoding; null disables decoding.
    const XmlEntityTable* entities = &XmlDefaultEntities();
    // Removed from values and text, keeping the character after it; 0 keeps
    // every character.
    char escapeChar = '\\';
    // Go on after a closing tag that names another element.
    bool tolerateMismatch = false;

    bool errorOccurred = false;
    // Points into the parsed text; null when the error has no position.
    const char* errorPosition = nullptr;
    XmlParseError errorCode = XmlErrorNone;
    std::string errorText;
};

struct XmlWriteOptions {
    // Start each node on a new line, indented by indentLevel tabs.
    bool newlines = true;
    bool encodeEntities = true;
    char quoteChar = '"';
    // The table used for encoding; null disables encoding.
    const XmlEntityTable* entities = &XmlDefaultEntities();
    // Raised and lowered again by ToXml while it descends.
    int indentLevel = 0;
};

// The shared, mutable default records, built on first use and kept until
// exit. Nothing locks them: one thread at a time.
XmlParseOptions& XmlDefaultParseOptions();
XmlWriteOptions& XmlDefaultWriteOptions();
