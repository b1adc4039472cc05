#include "settings/string_table.h"

#include <QList>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

constexpr int English = 1000;

// UTF-8 so that a failure prints readable text.
std::optional<std::string> utf8(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    return text->toStdString();
}

struct IdRange {
    int first;
    int last;
};

// The ids that the windows, the search and the update check ask for.
const IdRange usedIdRanges[] = {
    {1, 8},     {10, 21},   {100, 103}, {200, 214}, {300, 304}, {310, 321},
    {330, 333}, {340, 346}, {350, 352}, {360, 367}, {370, 371}, {400, 404}, {410, 422},
};

std::vector<int> usedIds()
{
    std::vector<int> ids;
    for (const IdRange &range : usedIdRanges)
        for (int id = range.first; id <= range.last; ++id)
            ids.push_back(id);
    return ids;
}

TEST(StringTable, UsedIdsExistInBothLanguages)
{
    for (int id : usedIds()) {
        SCOPED_TRACE(id);
        EXPECT_TRUE(StringTable::lookup(id).has_value());
        EXPECT_TRUE(StringTable::lookup(id + English).has_value());
    }
}

TEST(StringTable, FrenchIdsAreExactlyTheUsedIdsInIncreasingOrder)
{
    const QList<int> ids = StringTable::frenchIds();
    EXPECT_TRUE(std::adjacent_find(ids.begin(), ids.end(), std::greater_equal<int>()) == ids.end());
    EXPECT_EQ(std::vector<int>(ids.begin(), ids.end()), usedIds());
}

TEST(StringTable, NoTextIsEmpty)
{
    for (int id : StringTable::frenchIds()) {
        SCOPED_TRACE(id);
        EXPECT_FALSE(StringTable::lookup(id).value_or(QString()).isEmpty());
        EXPECT_FALSE(StringTable::lookup(id + English).value_or(QString()).isEmpty());
    }
}

// Every text that exists has its twin 1000 away, and nothing else exists
// anywhere around the table.
TEST(StringTable, TextsExistExactlyForListedIdsInBothLanguages)
{
    const QList<int> french = StringTable::frenchIds();
    for (int id = -1100; id <= 2100; ++id) {
        const int frenchId = id >= English ? id - English : id;
        const bool listed = id >= 0 && id < 2 * English && french.contains(frenchId);
        SCOPED_TRACE(id);
        EXPECT_EQ(StringTable::lookup(id).has_value(), listed);
    }
}

struct ExactText {
    int id;
    const char *text;
};

const ExactText exactTexts[] = {
    {5, "Rechercher"},
    {1005, "Search"},
    {10, "Connexion à "},
    {1010, "Connection to "},
    {11, " en cours..."},
    {1011, " in progress..."},
    {14, " films trouvés"},
    {1014, " movies found"},
    {21, "Récupération vignette n° "},
    {1021, "Download thumb "},
    {213, " bases sélectionnées"},
    {1213, " databases selected"},
    {312, "Vous utilisez la dernière version de Pellicam"},
    {1312, "You use the latest version of Pellicam"},
    {1332, "Address"},
    {404, "Vous voulez nous aider ? Cliquez donc sur ce bouton"},
    {1404, "Do you want to help us ? Click on this button"},
};

TEST(StringTable, TextsAreExactWithTheirBlanks)
{
    for (const ExactText &row : exactTexts) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(utf8(StringTable::lookup(row.id)), std::optional<std::string>(row.text));
    }
}

struct LanguageText {
    int id;
    int langOffset;
    const char *text;
};

const LanguageText languageTexts[] = {
    {5, 0, "Rechercher"},
    {5, English, "Search"},
    {371, 0, "Annuler"},
    {371, English, "Cancel"},
};

TEST(StringTable, TextAddsTheLanguageOffset)
{
    for (const LanguageText &row : languageTexts) {
        SCOPED_TRACE(testing::Message() << row.id << " + " << row.langOffset);
        EXPECT_EQ(utf8(StringTable::text(row.id, row.langOffset)), std::optional<std::string>(row.text));
    }
}

const int missingIds[] = {
    INT_MIN, -1000, -5, -1, 0, 9, 22, 99, 104, 199, 215, 299, 305, 309, 322, 329,
    334, 339, 347, 349, 353, 359, 368, 369, 372, 399, 405, 999, 1000, 1009, 1022,
    1405, 1999, 2005, INT_MAX,
};

TEST(StringTable, MissingIdsGiveNothing)
{
    for (int id : missingIds) {
        SCOPED_TRACE(id);
        EXPECT_EQ(utf8(StringTable::lookup(id)), std::nullopt);
    }
}

} // namespace
