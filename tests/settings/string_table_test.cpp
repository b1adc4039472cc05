#include "settings/string_table.h"

#include <QList>
#include <gtest/gtest.h>

#include <climits>

namespace {

constexpr int English = 1000;

// Every French text has its English twin 1000 away, none is empty, and
// nothing exists anywhere around the table.
TEST(StringTable, EveryListedTextExistsInBothLanguagesAndNothingElseDoes)
{
    const QList<int> french = StringTable::frenchIds();
    EXPECT_GT(french.size(), 90);
    for (int id = -1100; id <= 2100; ++id) {
        SCOPED_TRACE(id);
        const bool listed = id >= 0 && id < 2 * English && french.contains(id % English);
        EXPECT_EQ(!StringTable::lookup(id).value_or(QString()).isEmpty(), listed);
        EXPECT_EQ(StringTable::lookup(id).has_value(), listed);
    }
    EXPECT_FALSE(StringTable::lookup(INT_MIN).has_value());
    EXPECT_FALSE(StringTable::lookup(INT_MAX).has_value());
    // The language is an offset; a sentence half keeps the blank that joins it to a name.
    EXPECT_EQ(StringTable::text(10, 0), QString::fromUtf8("Connexion à "));
    EXPECT_EQ(StringTable::text(10, English), QString("Connection to "));
}

} // namespace
