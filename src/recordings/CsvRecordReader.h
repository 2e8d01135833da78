#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// One record of an RFC 4180 text. The field strings are reused from record
// to record, so reading a long file does not allocate per field.
struct CsvRecord {
    long line = 0;         // 1-based line where the record starts
    std::size_t count = 0; // fields in this record; `fields` may hold more, stale
    std::vector<std::string> fields;
    bool anyQuoted = false;
    std::string problem;  // a syntax problem, empty when none
    long problemLine = 0; // the line it is on, which a quoted line break can put after `line`

    std::string_view field(std::size_t i) const { return fields[i]; }
    // An empty line, or one of spaces and tabs only.
    bool isBlank() const;
};

// Reads RFC 4180 records: fields separated by ',', optionally in double
// quotes with "" for a quote and line breaks kept inside; records end at
// CRLF, LF or a lone CR. A quote inside an unquoted field is an ordinary
// character. An unterminated quote runs to the end of the text.
class CsvRecordReader {
public:
    explicit CsvRecordReader(std::string_view text)
        : text_(text) {}

    // False once the text is used up.
    bool next(CsvRecord &record);

private:
    void readField(std::string &field, CsvRecord &record);
    void readQuoted(std::string &field, CsvRecord &record);
    void countLineBreaks(std::size_t from, std::size_t to);
    void takeLineBreak();

    std::string_view text_;
    std::size_t pos_ = 0;
    long line_ = 1;
};

} // namespace pelorin
