#include "gpx/SafeXmlParser.h"

#include "text/Windows1252.h"

namespace pelorin {

XML_Parser safeXmlParser(void *userData, XML_EntityDeclHandler refuseEntities, char namespaceSeparator) {
    XML_Parser parser =
        namespaceSeparator ? XML_ParserCreateNS(nullptr, namespaceSeparator) : XML_ParserCreate(nullptr);
    if (!parser)
        return nullptr;
    XML_SetUserData(parser, userData);
    XML_SetEntityDeclHandler(parser, refuseEntities);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUnknownEncodingHandler(parser, &windows1252EncodingHandler, nullptr);
    return parser;
}

SafeXmlParser::SafeXmlParser(char namespaceSeparator)
    : parser_(safeXmlParser(this, &SafeXmlParser::onEntityDecl, namespaceSeparator)) {}

SafeXmlParser::~SafeXmlParser() {
    if (parser_)
        XML_ParserFree(parser_);
}

long SafeXmlParser::line() const noexcept {
    return static_cast<long>(XML_GetCurrentLineNumber(parser_));
}

long SafeXmlParser::column() const noexcept {
    return static_cast<long>(XML_GetCurrentColumnNumber(parser_)) + 1;
}

XmlParseError SafeXmlParser::error() const {
    if (refused_)
        return *refused_;
    if (!parser_)
        return {XML_ERROR_NO_MEMORY, "out of memory", 0, 0};
    const XML_Error code = XML_GetErrorCode(parser_);
    const XML_LChar *text = XML_ErrorString(code);
    return {static_cast<int>(code), text ? text : "unknown error", line(), column()};
}

void XMLCALL SafeXmlParser::onEntityDecl(void *userData, const XML_Char *, int, const XML_Char *, int,
                                         const XML_Char *, const XML_Char *, const XML_Char *,
                                         const XML_Char *) {
    SafeXmlParser &p = *static_cast<SafeXmlParser *>(userData);
    if (!p.refused_)
        p.refused_ = XmlParseError{XML_ERROR_ABORTED, kEntityRefusal, p.line(), p.column()};
    p.stop();
}

} // namespace pelorin
