#pragma once

#include <expat.h>

#include <optional>
#include <string>

namespace pelorin {

// Where and why a parse stopped.
struct XmlParseError {
    int code = 0;            // expat's XML_Error; XML_ERROR_ABORTED for a refused entity declaration
    std::string description; // expat's words, or why the entity declaration was refused
    long line = 0;           // 1-based
    long column = 0;         // 1-based, as a person counts them
};

// Why an entity declaration stopped a parse, in every reader's words.
inline constexpr const char *kEntityRefusal =
    "entity declarations are not accepted (they could read other files or expand without bound)";

// The expat parser every reader of a file from elsewhere needs, with its user
// data set and `refuseEntities` called on any entity declaration (it must stop
// the parser); null when none could be made. What the class below is made of,
// for a reader that keeps its own user data.
XML_Parser safeXmlParser(void *userData, XML_EntityDeclHandler refuseEntities,
                         char namespaceSeparator = '\0');

// An expat parser as every reader of a file from elsewhere needs it. Any
// entity declaration stops it: external entities would reach files or the
// network, internal ones are the stuff of expansion attacks, and no document
// we read needs either. Parameter entities and an external DTD are never
// read. Windows-1252, which some loggers write, is understood.
//
// The parser's user data is this object. A reader derives from it (publicly),
// sets its handlers on parser() and finds itself in them with
// owner<Reader>(userData); a handler that sets its own user data loses the
// refusal's record, not the refusal.
class SafeXmlParser {
public:
    // With a separator, names come as "namespace<separator>local".
    explicit SafeXmlParser(char namespaceSeparator = '\0');
    ~SafeXmlParser();
    SafeXmlParser(const SafeXmlParser &) = delete;
    SafeXmlParser &operator=(const SafeXmlParser &) = delete;

    // False when expat could not make a parser (out of memory).
    bool ok() const noexcept { return parser_ != nullptr; }
    XML_Parser parser() const noexcept { return parser_; }

    template <class Reader> static Reader &owner(void *userData) noexcept {
        return static_cast<Reader &>(*static_cast<SafeXmlParser *>(userData));
    }

    // Ends the parse: XML_Parse returns XML_STATUS_ERROR, the error XML_ERROR_ABORTED.
    void stop() noexcept { XML_StopParser(parser_, XML_FALSE); }
    bool refusedEntity() const noexcept { return refused_.has_value(); }
    // Why the parse failed: the refused declaration when that stopped it, else expat's own error.
    XmlParseError error() const;
    // Where the parser is, 1-based.
    long line() const noexcept;
    long column() const noexcept;

private:
    static void XMLCALL onEntityDecl(void *userData, const XML_Char *, int, const XML_Char *, int,
                                     const XML_Char *, const XML_Char *, const XML_Char *, const XML_Char *);

    XML_Parser parser_;
    std::optional<XmlParseError> refused_;
};

} // namespace pelorin
