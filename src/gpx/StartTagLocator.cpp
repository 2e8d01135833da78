#include "gpx/StartTagLocator.h"

#include "gpx/SafeXmlParser.h"

namespace pelorin {

StartTagLocator::StartTagLocator(const std::vector<std::int64_t> &offsets)
    : offsets_(offsets)
    , found_(offsets.size())
    , parser_(safeXmlParser(this, &StartTagLocator::onEntityDecl)) {
    if (parser_)
        XML_SetStartElementHandler(parser_, &StartTagLocator::onStart);
}

StartTagLocator::~StartTagLocator() {
    if (parser_)
        XML_ParserFree(parser_);
}

bool StartTagLocator::feed(const char *data, std::size_t size, bool last) {
    return parser_ && next_ < offsets_.size() &&
           XML_Parse(parser_, data, static_cast<int>(size), last) == XML_STATUS_OK;
}

void XMLCALL StartTagLocator::onStart(void *userData, const XML_Char *, const XML_Char **) {
    StartTagLocator &l = *static_cast<StartTagLocator *>(userData);
    const auto at = static_cast<std::int64_t>(XML_GetCurrentByteIndex(l.parser_));
    while (l.next_ < l.offsets_.size() && l.offsets_[l.next_] <= at) {
        if (l.offsets_[l.next_] == at)
            l.found_[l.next_] = {static_cast<long>(XML_GetCurrentLineNumber(l.parser_)),
                                 static_cast<long>(XML_GetCurrentColumnNumber(l.parser_)) + 1};
        ++l.next_;
    }
    if (l.next_ == l.offsets_.size())
        XML_StopParser(l.parser_, XML_FALSE);
}

void XMLCALL StartTagLocator::onEntityDecl(void *userData, const XML_Char *, int, const XML_Char *, int,
                                           const XML_Char *, const XML_Char *, const XML_Char *,
                                           const XML_Char *) {
    XML_StopParser(static_cast<StartTagLocator *>(userData)->parser_, XML_FALSE);
}

} // namespace pelorin
