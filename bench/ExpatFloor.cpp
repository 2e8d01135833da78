// pelorin-expat-floor: the least any streaming expat reader pays for a file.
// Reads it as the GPX reader does (the parser's own buffer, 256 KiB a read)
// with element and character handlers that do nothing. Between xmlwf, which
// parses the whole file in one call, and pelorin, it shows what chunked
// parsing costs by itself.

#include <expat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kReadChunk = 256 * 1024;

void XMLCALL onStart(void *, const XML_Char *, const XML_Char **) {}
void XMLCALL onEnd(void *, const XML_Char *) {}
void XMLCALL onCharacters(void *, const XML_Char *, int) {}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fputs("usage: pelorin-expat-floor FILE.xml\n", stderr);
        return 2;
    }
    const int fd = ::open(argv[1], O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        std::fprintf(stderr, "pelorin-expat-floor: %s: %s\n", argv[1], std::strerror(errno));
        return 2;
    }
    XML_Parser parser = XML_ParserCreate(nullptr);
    XML_SetElementHandler(parser, onStart, onEnd);
    XML_SetCharacterDataHandler(parser, onCharacters);
    int status = 0;
    for (;;) {
        void *buffer = XML_GetBuffer(parser, kReadChunk);
        const ssize_t n = buffer ? ::read(fd, buffer, kReadChunk) : -1;
        if (n < 0 || XML_ParseBuffer(parser, static_cast<int>(n), n == 0) == XML_STATUS_ERROR) {
            std::fprintf(stderr, "pelorin-expat-floor: %s: line %lu: %s\n", argv[1],
                         static_cast<unsigned long>(XML_GetCurrentLineNumber(parser)),
                         XML_ErrorString(XML_GetErrorCode(parser)));
            status = 1;
            break;
        }
        if (n == 0) {
            break;
        }
    }
    XML_ParserFree(parser);
    ::close(fd);
    return status;
}
