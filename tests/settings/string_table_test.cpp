#include "settings/string_table.h"

#include <QList>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <optional>
#include <string>

namespace {

constexpr int English = 1000;

// UTF-8 so that a failure prints readable text.
std::optional<std::string> utf8(const std::optional<QString> &text)
{
    return text ? std::optional<std::string>(text->toStdString()) : std::nullopt;
}

// Every French text has its English twin 1000 away, none is empty, and
// nothing exists anywhere around the table.
TEST(StringTable, EveryListedTextExistsInBothLanguagesAndNothingElseDoes)
{
    const QList<int> french = StringTable::frenchIds();
    EXPECT_GT(french.size(), 90);
    EXPECT_TRUE(std::adjacent_find(french.begin(), french.end(), std::greater_equal<int>()) == french.end());
    for (int id = -1100; id <= 2100; ++id) {
        SCOPED_TRACE(id);
        const bool listed = id >= 0 && id < 2 * English && french.contains(id % English);
        EXPECT_EQ(!StringTable::lookup(id).value_or(QString()).isEmpty(), listed);
        EXPECT_EQ(StringTable::lookup(id).has_value(), listed);
    }
}

// Sentence halves keep the blanks that join them to a name or a number.
TEST(StringTable, TextsAreExactWithTheirBlanks)
{
    const struct
    {
        int id;
        int langOffset;
        const char *text; // nullptr: no text
    } rows[] = {
        {5, 0, "Rechercher"}, {5, English, "Search"}, {371, 0, "Annuler"}, {371, English, "Cancel"},
        {10, 0, "Connexion à "}, {10, English, "Connection to "}, {11, 0, " en cours..."},
        {11, English, " in progress..."}, {14, 0, " films trouvés"}, {14, English, " movies found"},
        {21, 0, "Récupération vignette n° "}, {21, English, "Download thumb "},
        {213, 0, " bases sélectionnées"}, {213, English, " databases selected"},
        {312, 0, "Vous utilisez la dernière version de Pellicam"}, {332, English, "Address"},
        {404, English, "Do you want to help us ? Click on this button"},
        {0, INT_MIN, nullptr}, {INT_MAX, 0, nullptr}, {1005, English, nullptr}, {9, 0, nullptr},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(testing::Message() << row.id << " + " << row.langOffset);
        EXPECT_EQ(utf8(StringTable::text(row.id, row.langOffset)),
                  row.text ? std::optional<std::string>(row.text) : std::nullopt);
    }
}

} // namespace
