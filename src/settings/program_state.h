#pragma once

#include <QString>

// The values that the fetcher, the search, the retrieval and the windows share
// for the whole life of the program.
struct ProgramState
{
    // Read option of every fetch but the banner's: 1, 8, 16, 512 or 524288.
    // 0 until the settings have been read once.
    int ModeConnexion = 0;

    // 0 for French, 1000 for English: added to every string table id.
    int LangOffset = 0;

    // The program's own proxy; an empty host means none (the system's settings apply).
    QString ProxyHost;
    int ProxyPort = 80;

    // True while no search or download runs, and once the user asked to stop.
    bool ArretDemande = true;

    // The search, or the last press on a thumbnail, was made with the right button:
    // exact-title mode for a search, the system picture viewer for a picture.
    bool ClicDroit = false;

    // Only one base may be ticked at a time (the setting "BdD").
    bool BaseUnique = false;

    // File base name of the picture being retrieved.
    QString NomFichier;

    // Where full pictures are fetched to before they are shown or copied; ends with "/".
    QString DossierTemp;
};
