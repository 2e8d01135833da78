#include "recordings/CsvRecordReader.h"

#include "text/Blank.h"

#include <algorithm>

namespace pelorin {

namespace {

bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}

} // namespace

bool CsvRecord::isBlank() const {
    if (count != 1 || anyQuoted)
        return false;
    return trimmed(fields[0]).empty();
}

bool CsvRecordReader::next(CsvRecord &record) {
    if (pos_ >= text_.size())
        return false;
    record.line = line_;
    record.count = 0;
    record.anyQuoted = false;
    record.problem.clear();
    for (;;) {
        if (record.count == record.fields.size())
            record.fields.emplace_back();
        std::string &field = record.fields[record.count++];
        field.clear();
        readField(field, record);
        if (pos_ >= text_.size())
            return true;
        if (text_[pos_] == ',') {
            ++pos_;
            continue;
        }
        takeLineBreak();
        return true;
    }
}

void CsvRecordReader::readField(std::string &field, CsvRecord &record) {
    if (pos_ < text_.size() && text_[pos_] == '"') {
        record.anyQuoted = true;
        readQuoted(field, record);
        if (pos_ >= text_.size() || text_[pos_] == ',' || isLineBreak(text_[pos_]))
            return;
        if (record.problem.empty()) {
            record.problem = "text after the closing quote";
            record.problemLine = line_;
        }
        // Keep the rest of the field as it stands so the next record starts
        // in the right place.
    }
    // A plain loop: find_first_of searches the set once per character.
    std::size_t end = pos_;
    while (end < text_.size() && text_[end] != ',' && !isLineBreak(text_[end]))
        ++end;
    field.append(text_.substr(pos_, end - pos_));
    pos_ = end;
}

void CsvRecordReader::readQuoted(std::string &field, CsvRecord &record) {
    const long openedAt = line_;
    ++pos_;
    for (;;) {
        const std::size_t quote = text_.find('"', pos_);
        if (quote == std::string_view::npos) {
            field.append(text_.substr(pos_));
            countLineBreaks(pos_, text_.size());
            pos_ = text_.size();
            record.problem = "unterminated quote";
            record.problemLine = openedAt;
            return;
        }
        field.append(text_.substr(pos_, quote - pos_));
        countLineBreaks(pos_, quote);
        pos_ = quote + 1;
        if (pos_ < text_.size() && text_[pos_] == '"') {
            field.push_back('"');
            ++pos_;
            continue;
        }
        return;
    }
}

void CsvRecordReader::countLineBreaks(std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to; ++i) {
        if (text_[i] == '\n' || (text_[i] == '\r' && (i + 1 >= text_.size() || text_[i + 1] != '\n')))
            ++line_;
    }
}

void CsvRecordReader::takeLineBreak() {
    if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
        ++pos_;
    ++pos_;
    ++line_;
}

} // namespace pelorin
