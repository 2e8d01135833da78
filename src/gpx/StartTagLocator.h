#pragma once

#include <expat.h>

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace pelorin {

// Line and column of the start tags that begin at the given byte offsets
// (ascending), found by reading the document again with a parser set up as the
// reader's, so the numbers are the parser's own. Only a log with bad
// coordinates pays for it, and not while it is first read.
class StartTagLocator {
public:
    explicit StartTagLocator(const std::vector<std::int64_t> &offsets);
    ~StartTagLocator();
    StartTagLocator(const StartTagLocator &) = delete;
    StartTagLocator &operator=(const StartTagLocator &) = delete;

    // False once there is nothing more to find.
    bool feed(const char *data, std::size_t size, bool last);
    // (line, column) for each offset; (0, 0) where none was found.
    const std::vector<std::pair<long, long>> &found() const noexcept { return found_; }

private:
    static void XMLCALL onStart(void *userData, const XML_Char *, const XML_Char **);
    static void XMLCALL onEntityDecl(void *userData, const XML_Char *, int, const XML_Char *, int,
                                     const XML_Char *, const XML_Char *, const XML_Char *, const XML_Char *);

    const std::vector<std::int64_t> &offsets_;
    std::vector<std::pair<long, long>> found_;
    std::size_t next_ = 0;
    XML_Parser parser_;
};

} // namespace pelorin
