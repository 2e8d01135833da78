#include "gpx/LogParser.h"

#include "text/Windows1252.h"

namespace pelorin {

XML_Parser logParser(void *userData, XML_EntityDeclHandler refuseEntities) {
    XML_Parser parser = XML_ParserCreate(nullptr);
    if (!parser)
        return nullptr;
    XML_SetUserData(parser, userData);
    XML_SetEntityDeclHandler(parser, refuseEntities);
    XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
    XML_SetUnknownEncodingHandler(parser, &windows1252EncodingHandler, nullptr);
    return parser;
}

} // namespace pelorin
