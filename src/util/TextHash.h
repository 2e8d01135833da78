#pragma once

#include <QStringView>

#include <cstddef>
#include <functional>
#include <string_view>

namespace pelorin {

// A plain hash of a text's UTF-16 code units, for hash tables of a whole
// table's file names built and searched at once: Qt's seeded string hash costs
// several times as much. Transparent, so a QStringView finds a QString.
struct PlainTextHash {
    using is_transparent = void;
    std::size_t operator()(QStringView text) const noexcept {
        return std::hash<std::u16string_view>()(std::u16string_view(text.utf16(), std::size_t(text.size())));
    }
};

} // namespace pelorin
