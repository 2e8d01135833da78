#pragma once

// The expat glue of GpxReader: one parser for one document. Included by
// GpxReader.cpp only; inline so the handlers compile with the reader's.

#include "fileio/File.h"
#include "gpx/GpxReader.h"
#include "gpx/SafeXmlParser.h"
#include "text/Blank.h"

#include <expat.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace pelorin {

inline constexpr int kReadChunk = 256 * 1024;

// True when the NUL-terminated name is literal; stops at the first difference,
// so it never reads past a shorter name's end.
template <std::size_t N> inline bool nameIs(const char *name, const char (&literal)[N]) noexcept {
    for (std::size_t i = 0; i < N; ++i) {
        if (name[i] != literal[i])
            return false;
    }
    return true;
}

inline GpxError unreadableLog(std::string description) {
    GpxError e;
    e.kind = GpxError::Kind::Unreadable;
    e.description = std::move(description);
    return e;
}

// One expat parser for one document; forwards its events to the reader's
// handlers and turns its failures into GpxError values.
struct GpxReader::Parser {
    explicit Parser(GpxReader &reader)
        : reader_(reader)
        , parser_(safeXmlParser(this, &Parser::onEntityDecl)) {
        if (!parser_)
            return;
        XML_SetElementHandler(parser_, &Parser::onStart, &Parser::onEnd);
        XML_SetCharacterDataHandler(parser_, &Parser::onCharacters);
        XML_SetCommentHandler(parser_, &Parser::onComment);
        XML_SetProcessingInstructionHandler(parser_, &Parser::onProcessingInstruction);
        // No default handler: setting one would turn off the expansion of &amp; and the like.
    }
    ~Parser() {
        if (parser_)
            XML_ParserFree(parser_);
    }
    Parser(const Parser &) = delete;
    Parser &operator=(const Parser &) = delete;

    bool ok() const noexcept { return parser_ != nullptr; }

    // Feeds bytes; false once the parser has stopped at an error.
    bool feed(const char *data, std::size_t size, bool last) {
        if (XML_Parse(parser_, data, static_cast<int>(size), last) == XML_STATUS_ERROR) {
            reportError();
            return false;
        }
        return true;
    }
    // Reads up to kReadChunk bytes from the file straight into the parser's buffer and
    // parses them; returns the byte count, 0 at the end, -1 on a read or parse error.
    long feedFrom(File &file, std::optional<GpxError> &readError) {
        void *buffer = XML_GetBuffer(parser_, kReadChunk);
        if (!buffer) {
            reportError();
            return -1;
        }
        std::error_code error;
        const std::optional<std::size_t> n = file.read(static_cast<char *>(buffer), kReadChunk, error);
        if (!n) {
            readError = unreadableLog("read error: " + error.message());
            return -1;
        }
        if (XML_ParseBuffer(parser_, static_cast<int>(*n), *n == 0) == XML_STATUS_ERROR) {
            reportError();
            return -1;
        }
        return static_cast<long>(*n);
    }

private:
    static Parser &self(void *userData) { return *static_cast<Parser *>(userData); }

    static void XMLCALL onStart(void *userData, const XML_Char *name, const XML_Char **attributes) {
        Parser &p = self(userData);
        p.reader_.startElement(name, attributes,
                               static_cast<std::int64_t>(XML_GetCurrentByteIndex(p.parser_)));
    }
    static void XMLCALL onEnd(void *userData, const XML_Char *name) {
        self(userData).reader_.endElement(name);
    }
    static void XMLCALL onCharacters(void *userData, const XML_Char *text, int length) {
        self(userData).reader_.foundCharacters(text, text + length);
    }
    static void XMLCALL onComment(void *userData, const XML_Char *) { self(userData).reader_.endOfText(); }
    static void XMLCALL onProcessingInstruction(void *userData, const XML_Char *, const XML_Char *) {
        self(userData).reader_.endOfText();
    }
    static void XMLCALL onEntityDecl(void *userData, const XML_Char *, int, const XML_Char *, int,
                                     const XML_Char *, const XML_Char *, const XML_Char *, const XML_Char *) {
        Parser &p = self(userData);
        GpxError e;
        e.kind = GpxError::Kind::Parse;
        e.code = XML_ERROR_ABORTED;
        e.description = kEntityRefusal;
        e.line = static_cast<long>(XML_GetCurrentLineNumber(p.parser_));
        e.column = static_cast<long>(XML_GetCurrentColumnNumber(p.parser_)) + 1;
        p.reader_.parseErrorOccurred(std::move(e));
        XML_StopParser(p.parser_, XML_FALSE);
    }

    void reportError() {
        GpxError e;
        e.kind = GpxError::Kind::Parse;
        const XML_Error code = XML_GetErrorCode(parser_);
        e.code = static_cast<int>(code);
        const XML_LChar *text = XML_ErrorString(code);
        e.description = text ? text : "unknown error";
        e.line = static_cast<long>(XML_GetCurrentLineNumber(parser_));
        e.column = static_cast<long>(XML_GetCurrentColumnNumber(parser_)) + 1;
        reader_.parseErrorOccurred(std::move(e)); // keeps the first: a refused entity stays the cause
    }

    GpxReader &reader_;
    XML_Parser parser_;
};

} // namespace pelorin
