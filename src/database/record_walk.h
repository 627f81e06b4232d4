#pragma once

#include "database/byte_cursor.h"
#include "database/database_format.h"

#include <cstddef>

namespace quillfen {

// Goes through the first `records` records of a UserDatabase in the order their counts give
// them: a group, then its sets, each set followed by its levels. `visit` is told of
//   group(record, cursor, sets), set(record, cursor, levels), level(record, cursor)
// for each record (the cursor stands at the record's first byte), and of
//   shortSet(set, levels, found), shortGroup(group, sets, found)
// where a count claims more records than are left. Any call that returns false ends the walk,
// which then returns false.
template <class Visitor>
bool walkRecords(const ByteCursor& file, std::size_t records, Visitor& visit) {
    using namespace format;
    std::size_t i = 0;
    while (i < records) {
        std::size_t group = i++;
        ByteCursor groupRecord = file.at(recordOffset(group));
        std::size_t sets = groupRecord.le16(kCountOffset);
        if (!visit.group(group, groupRecord, sets))
            return false;
        std::size_t s = 0;
        for (; s < sets && i < records; ++s) {
            std::size_t set = i++;
            ByteCursor setRecord = file.at(recordOffset(set));
            std::size_t levels = setRecord.le16(kCountOffset);
            if (!visit.set(set, setRecord, levels))
                return false;
            std::size_t l = 0;
            for (; l < levels && i < records; ++l, ++i) {
                if (!visit.level(i, file.at(recordOffset(i))))
                    return false;
            }
            if (l < levels && !visit.shortSet(set, levels, l))
                return false;
        }
        if (s < sets && !visit.shortGroup(group, sets, s))
            return false;
    }
    return true;
}

} // namespace quillfen
