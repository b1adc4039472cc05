#pragma once

#include <QString>

// The values that the fetcher, the adapters, the retrieval and the windows share
// for the whole life of the program. Field names are the program's own names
// for them, so the scraping code reads like its description.
struct ProgramState
{
    // Text of the last page read with the purpose "Html" (or received by a form post).
    QString PageHtml;

    // Read option of every fetch but the banner's: 1, 8, 16, 512 or 524288.
    // 0 until the settings have been read once.
    int ModeConnexion = 0;

    // 0 for French, 1000 for English: added to every string table id.
    int LangOffset = 0;

    // The program's own proxy; an empty host means none (the system's settings apply).
    QString ProxyHost;
    int ProxyPort = 80;

    // True while no search or download runs, and once the user asked to stop.
    // Every adapter loop tests it.
    bool ArretDemande = true;

    // The search, or the last press on a thumbnail, was made with the right button:
    // exact-title mode for a search, the system picture viewer for a picture.
    bool ClicDroit = false;

    // The hit an adapter is turning into a slot (1-based).
    int IndiceCourant = 0;

    // Only one base may be ticked at a time (the setting "BdD").
    bool BaseUnique = false;

    // File base name of the picture being retrieved.
    QString NomFichier;

    // Where full pictures are fetched to before they are shown or copied; ends with "/".
    QString DossierTemp;
};
