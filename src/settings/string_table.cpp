#include "settings/string_table.h"

#include <QList>

#include <algorithm>
#include <array>

namespace StringTable {
namespace {

constexpr int EnglishOffset = 1000;

struct Row {
    int id;
    const char16_t *french;
    const char16_t *english;
};

// Several texts are halves of a sentence that the caller completes with a
// name or a number, so their leading and trailing blanks matter.
constexpr std::array rows = std::to_array<Row>({
    {1, u"Titre du film", u"Movie title"},
    {2, u"Base de données", u"Database"},
    {3, u"Enregistrer sous", u"Save as"},
    {4, u"Arrêter", u"Stop"},
    {5, u"Rechercher", u"Search"},
    {6, u"Options", u"Options"},
    {7, u"Modifier", u"Change"},
    {8, u"Télécharger", u"Download"},

    {10, u"Connexion à ", u"Connection to "},
    {11, u" en cours...", u" in progress..."},
    {12, u"Aucun film trouvé !", u"No movie found !"},
    {13, u"1 film trouvé", u"1 movie found"},
    {14, u" films trouvés", u" movies found"},
    {15, u"Réduire", u"Minimize"},
    {16, u"A propos de...", u"About..."},
    {17, u"Fermer", u"Close"},
    {18, u"Compacter", u"Compact"},
    {19, u"Sélectionnez le dossier de téléchargement", u"Choose your download folder"},
    {20, u"Téléchargement en cours...", u"Download in progress..."},
    {21, u"Récupération vignette n° ", u"Download thumb "},

    {100, u"Enregistrer l'image sous...", u"Save picture as..."},
    {101, u"Affiche indisponible", u"unavailable poster"},
    {102, u"Veuillez réessayer ultérieurement", u"Please try later"},
    {103, u"Erreur", u"Error"},

    {200, u"Base Fr", u"Fr Data"},
    {201, u"Base Us", u"Us Data"},
    {202, u"Affiches", u"Posters"},
    {203, u"Jaquettes", u"Jackets"},
    {204, u"Voir le site", u"Web site"},
    {205, u"Tout cocher", u"Check all"},
    {206, u"Tout décocher", u"Check nothing"},
    {207, u"Cocher bases Fr", u"Check Fr data"},
    {208, u"Cocher bases Us", u"Check Us data"},
    {209, u"Cocher bases Affiches", u"Check posters data"},
    {210, u"Cocher bases Jaquettes", u"Check jackets data"},
    {211, u"Aucune base sélectionnée", u"No database selected"},
    {212, u"1 base sélectionnée", u"1 database selected"},
    {213, u" bases sélectionnées", u" databases selected"},
    {214, u"Base Fr/Us", u"Fr/Us Data"},
    {215, u"Décrite par le fichier ", u"Described by the file "},
    {216, u"1 fichier en erreur", u"1 broken site file"},
    {217, u" fichiers en erreur", u" broken site files"},
    {218, u"Voir les erreurs des fichiers de sites", u"See the errors of the site files"},
    {219, u"Recharger les sites", u"Reload sites"},
    {220, u"Relire les fichiers de sites (F5)", u"Read the site files again (F5)"},
    {221, u"Rechargement en attente", u"Reload waiting"},
    {222, u"Fichiers de sites en erreur", u"Broken site files"},

    {300, u"Général", u"Main"},
    {301, u"Mémoriser la position de Pellicam en quittant", u"Memorize Pellicam position before leaving"},
    {302, u"Mémoriser les", u"Memorize"},
    {303, u"derniers titres de films recherchés", u"last required movies titles"},
    {304, u"Langue", u"Language"},

    {310, u"Mise à jour", u"Update"},
    {311, u"Rechercher une mise à jour", u"Search an update"},
    {312, u"Vous utilisez la dernière version de Pellicam", u"You use the latest version of Pellicam"},
    {313, u"Une nouvelle version", u"A new version"},
    {314, u"est aujourd'hui disponible.", u"is available today."},
    {315, u"Voulez-vous la télécharger ?", u"Do you want to download it ?"},
    {316, u"OUI, immédiatement", u"YES, immediately"},
    {317, u"NON, mais me le rappeler demain", u"NO, but remember me tomorrow"},
    {318, u"NON, mais me le rappeler dans 3 jours", u"NO, but remember me in 3 days"},
    {319, u"NON, mais me le rappeler dans 1 semaine", u"NO, but remember me in 1 week"},
    {320, u"NON, mais me le rappeler dans 1 mois", u"NO, but remember me in 1 month"},
    {321, u"NON, et ne plus m'informer des mises à jour", u"NO, and never remember me again"},

    {330, u"Configuration Proxy", u"Proxy Configuration"},
    {331, u"Utiliser un serveur Proxy", u"Use a Proxy server"},
    {332, u"Adresse", u"Address"},
    {333, u"Port", u"Port"},

    {340, u"Connexion", u"Connection"},
    {341, u"Connexion à Internet", u"Connection to Internet"},
    {342, u"Synchrone", u"Synchronous"},
    {343, u"En utilisant uniquement le cache", u"Use only the locally cached resource"},
    {344, u"Asynchrone en ignorant le cache", u"Asynchronous ignoring a locally cached copy"},
    {345, u"Asynchrone avec mise à jour du cache", u"Asynchronous update the locally cached copy"},
    {346, u"Asynchrone en utilisant le cache", u"Asynchronous using the cached copy"},

    {350, u"Base de données", u"Database"},
    {351, u"N'utiliser qu'une seule base de données à la fois", u"Use only one database at the same time"},
    {352, u"Autoriser la sélection de plusieurs bases de données", u"Use multiple databases at the same time"},

    {360, u"Jaquettes de films au format PDF", u"Movie jackets in PDF format"},
    {361, u"Format", u"Format"},
    {362, u"Police", u"Font"},
    {363, u"Fond", u"Background"},
    {364, u"Blanc", u"White"},
    {365, u"Noir", u"Black"},
    {366, u"Cliquez pour télécharger Adobe Reader", u"Click to download Adobe Reader"},
    {367, u"Format PDF", u"PDF format"},

    {370, u"Ok", u"Ok"},
    {371, u"Annuler", u"Cancel"},

    {400, u"Réalisation", u"Editor"},
    {401, u"Site internet", u"Web site"},
    {402, u"Forum de discussion", u"Bulletin board"},
    {403, u"Version", u"Version"},
    {404, u"Vous voulez nous aider ? Cliquez donc sur ce bouton", u"Do you want to help us ? Click on this button"},

    {410, u"Recherche arrêtée avant la fin", u"Search stopped before the end"},
    {411, u"Liste pleine avant l'arrivée de ses films", u"List full before its movies came"},
    {412, u"Site injoignable : ", u"Site unreachable: "},
    {413, u"Pas de réponse à temps : ", u"No answer in time: "},
    {414, u"Erreur HTTP ", u"HTTP error "},
    {415, u" sur ", u" on "},
    {416, u"Réponse sans aucun film, page de ", u"Answered without any movie, page of "},
    {417, u" octets", u" bytes"},
    {418, u"Aucune page reçue", u"No page received"},
    {419, u" - requêtes en échec : ", u" - failed requests: "},
    {420, u", la première : ", u", the first: "},
    {421, u"réponse trop grande", u"answer too large"},
    {422, u" - sites sans réponse : ", u" - sites not answering: "},
    {423, u"Erreur interne de Pellicam : ", u"Pellicam's internal error: "},
});

static_assert(std::is_sorted(rows.begin(), rows.end(),
                             [](const Row &a, const Row &b) { return a.id < b.id; }),
              "lookup() relies on increasing ids");
static_assert(rows.back().id < EnglishOffset, "French ids must stay below the English offset");

const Row *find(int id)
{
    const auto it = std::lower_bound(rows.begin(), rows.end(), id,
                                     [](const Row &row, int wanted) { return row.id < wanted; });
    return it != rows.end() && it->id == id ? &*it : nullptr;
}

} // namespace

std::optional<QString> lookup(int id)
{
    const bool english = id >= EnglishOffset;
    const Row *row = find(english ? id - EnglishOffset : id);
    if (!row)
        return std::nullopt;
    return QString::fromUtf16(english ? row->english : row->french);
}

QList<int> frenchIds()
{
    QList<int> ids;
    ids.reserve(qsizetype(rows.size()));
    for (const Row &row : rows)
        ids.append(row.id);
    return ids;
}

} // namespace StringTable
