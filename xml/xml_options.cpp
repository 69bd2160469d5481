#include "xml/xml_options.h"

XmlParseOptions& XmlDefaultParseOptions() {
    static XmlParseOptions options;
    return options;
}

XmlWriteOptions& XmlDefaultWriteOptions() {
    static XmlWriteOptions options;
    return options;
}
