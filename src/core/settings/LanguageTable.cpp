#include "settings/LanguageTable.h"

#include <QStringView>

namespace {

struct Row {
    int number;
    std::array<QStringView, 3> texts; // English, German, Spanish
};

// Every numbered text in the three languages, exactly as shown to the user. Numbers missing
// here are never written, so they stay empty. Entry 0 is the language key itself, which is
// how a key finds its column.
constexpr Row Rows[] = {
    {0, {u"english", u"german", u"spanish"}},
    {1,
     {u"Create Playlist of Selected Songs .m3u format.",
      u".m3u-Playlist aller ausgewählten Songs erstellen.",
      u"Crear Lista de Reprodución con las Canciones Seleccionadas formato .m3u"}},
    {2,
     {u"You must have a Title (%t) in your output format",
      u"Sie müssen einen Titel (%t) in Ihrem Ausgabeformat haben",
      u"Debe tener un título (%t) en su formato de salida"}},
    {3, {u"Missing Song Title", u"Fehlender Lied-Titel", u"Falta el título de la canción"}},
    {7, {u"Browse", u"Durchsuchen", u"Examinar"}},
    {8,
     {u"Building Songs Transfer List", u"Transfer vorbereiten",
      u"Construyendo la lista de Transferencia de Canciones"}},
    {9, {u"Cancel", u"Abbrechen", u"Canelar"}},
    {10, {u"Completed", u"Fertig", u"Completado"}},
    {11,
     {u"Error(s) occurred while extracting...", u"Beim Extrahieren sind Fehler aufgetreten ...",
      u"Ocurrieron error(es) durante la extracción ..."}},
    {13, {u"Error: File Exists", u"Fehler: Datei existiert bereits", u"Error: El fichero existe"}},
    {14, {u"File Output Format", u"Dateiausgabeformat", u"Formato de salida del Fichero"}},
    {15, {u"Finish", u"Fertig", u"Finalizar"}},
    {16,
     {u"Folder/Track Options", u"Ordner/Track Einstellungen", u"Preferencias de Carpeta/Pista"}},
    {22,
     {u"If a file exists then overwrite it and continue.",
      u"Existierende Dateien überschreiben und fortfahren.",
      u"Si el fichero existe, sobreescríbelo y continua"}},
    {23,
     {u"If a file exists then skip it and move to the next song.",
      u"Existierende Dateien überspringen und mit dem nächsten Song fortfahren.",
      u"Si el fichero existe, ignoralo y avanza a la siguiente canción"}},
    {27, {u"Missing iPod", u"Kein iPod angeschlossen.", u"No se encuentra el iPod"}},
    {28, {u"No", u"Nein", u"No"}},
    {29,
     {u"No iPod found, Please connect your iPod and retry!",
      u"Kein iPod angeschlossen. Bitte iPod anschließen und erneut versuchen.",
      u"No se encuentra el iPod, Porfavor ¡conecte su iPod y vuelvalo a intentar!"}},
    {30, {u"No to All", u"Nein zu allen ", u"No a todo"}},
    {32, {u"Output Directory", u"Zielverzeichnis", u"Carpeta de destino"}},
    {33, {u"Output Options", u"Einstellungen", u"Preferencias del destino"}},
    {34, {u"Playlists", u"Wiedergabelisten", u"Listas de reproducción"}},
    {35, {u"Quit", u"Beenden", u"Salir"}},
    {36, {u"Retry", u"Erneut versuchen", u"Volver a Intentar"}},
    {37, {u"Search", u"Suchen", u"Buscar"}},
    {38, {u"Select folder", u"Ordner wählen", u"Seleccione una Carpeta"}},
    {39, {u"Selected:", u"Ausgewählt:", u"Seleccionada:"}},
    {42, {u"Songs:", u"Lieder:", u"Canciones:"}},
    {43, {u"Start Copy", u"Kopieren", u"Empezar la copia"}},
    {44, {u"Status: iPod Unplugged", u"Status: Kein iPod", u"Estatus: iPod desenchufado"}},
    {45, {u"Status: Ok", u"Status: Ok", u"Estatus: Ok"}},
    {46, {u"Status: Looking for iPod", u"Status: Suche iPod", u"Estatus: Buscando un iPod"}},
    {48,
     {u"The File below already exists on the destination drive, Would you like to Overwrite it?\"",
      u"Die folgende Datei existiert im Zielverzeichnis bereits. Soll sie überschrieben werden?",
      u"El fichero ya existe en el disco de destino, ¿Desea sobreescribirlo?"}},
    {51,
     {u"This option allows you transfer your songs without being prompted if an error is "
      u"encountered such as if a song already exists on the destination drive.",
      u"Diese Option erlaubt das Kopieren von Songs ohne Nachfrage bei Fehlern. z.B.: Wenn ein "
      u"Song im Zielverzeichnis schon existiert.",
      u"Esta opción le permite transferir sus canciones sin que salten alertas si ocurre algún "
      u"error, como que la canción ya exista en el disco de destino."}},
    {53,
     {u"Transfer completed successfully", u"Transfer erfolgreich beendet",
      u"Transferencia completada correctamente"}},
    {54, {u"Transfer Started: ", u"Transfer gestartet: ", u"Transferencia iniciada:"}},
    {55,
     {u"Transfer stopped by user", u"Transfer durch Benutzer abgebrochen ",
      u"Transferencia detenida por el usuario"}},
    {56, {u"Transfering Songs", u"Kopiere Lieder", u"Transfiriendo canciones"}},
    {57, {u"Unattended Transfer", u"Automatischer Transfer", u"Transferencia desatendida"}},
    {58,
     {u"Unattended Transfer Options", u"Einstellungen für Automatischen Transfer",
      u"Preferencias de la Transferencia desatendida"}},
    {61, {u"Yes", u"Ja", u"Si"}},
    {62, {u"Yes to All", u"Ja, alle", u"SI a todo"}},
    {63,
     {u"You must specify a folder!!!", u"Es muss ein Ordner gewählt werden!!!",
      u"¡¡Debe especificar una carpeta!!"}},
    {64, {u"Status: Loading Songs…", u"Status: Lade Lieder...", u"Estatus:Cargando canciones..."}},
    {65, {u"All Songs", u"Alle Lieder", u"Todas las Canciones"}},
    {66, {u"Unknown", u"Unbekannt", u"Desconocido"}},
    {68, {u"Free", u"Frei", u"Libre"}},
    {69, {u"Title", u"Titel", u"Título"}},
    {70, {u"Select", u"Auswählen", u"Marcar"}},
    {71, {u"Deselect", u"Abwählen", u"Desmarcar"}},
    {72, {u"Select All", u"Alle Auswählen", u"Marcar todas"}},
    {73, {u"Deselect All", u"Alle Abwählen", u"Desmarcar todas"}},
    {77, {u"File", u"Datei", u"Archivo"}},
    {78, {u"Help", u"Hilfe", u"Ayuda"}},
    {79, {u"Exit", u"Beenden", u"Salir"}},
    {80, {u"About", u"Über", u"Acerca de"}},
    {81, {u"Language", u"Sprache", u"Idioma"}},
    {82, {u"Tools", u"Werkzeuge", u"Herramientas"}},
    {84, {u"Copy Melvo > iPod", u"Kopiere Melvo > iPod", u"Copiar Melvo > iPod"}},
    {85, {u"Year", u"Jahr", u"año"}},
    {87,
     {u"Status: Building List…", u"Status: Liste erstellen...",
      u"Estatus: Construyendo la lista..."}},
    {88, {u"Artist", u"Künstler", u"artista"}},
    {89, {u"Album", u"Album", u"álbum"}},
    {90, {u"Genre", u"Genre", u"Género"}},
    {91, {u"Filesize", u"Dateigröße", u"tamaño"}},
    {92, {u"Track", u"Track", u"pista"}},
    {93, {u"Bit Rate", u"Bewertung", u"Bit Rate"}},
    {94, {u"Source Path", u"Quellpfad", u"Localización del fichero"}},
    {96, {u"Default", u"Voreinstellung", u"volver al orgininal"}},
    {97, {u"Track Nr", u"Track Nr", u"nro de pista"}},
    {98,
     {u"Example:<OutputDir>\\", u"Beispiel: <Zielverzeichnis>\\", u"ejemplo:<dir de salida>\\"}},
    {99, {u"Play", u"Abspielen", u"Escuchar"}},
    // Texts of our own, after the classic table.
    {100,
     {u"Transfer completed with errors", u"Übertragung mit Fehlern abgeschlossen",
      u"Transferencia terminada con errores"}},
    {101, {u"Details", u"Details", u"Detalles"}},
    {102, {u"Copied", u"Kopiert", u"Copiadas"}},
    {103, {u"Skipped", u"Übersprungen", u"Omitidas"}},
    {104, {u"Failed", u"Fehlgeschlagen", u"Fallidas"}},
    {110,
     {u"Status: Cannot read the iPod's music database",
      u"Status: Die Musikdatenbank des iPod kann nicht gelesen werden",
      u"Estado: No se puede leer la base de datos de música del iPod"}},
    {111, {u"Open Folder…", u"Ordner öffnen…", u"Abrir carpeta…"}},
    {112,
     {u"This folder holds no iPod music database. Choose the folder that holds iPod_Control.",
      u"Dieser Ordner enthält keine Musikdatenbank eines iPod. Wählen Sie den Ordner, der "
      u"iPod_Control enthält.",
      u"Esta carpeta no contiene ninguna base de datos de música de iPod. Elija la carpeta que "
      u"contiene iPod_Control."}},
    {113, {u"Not in the database", u"Nicht in der Datenbank", u"Fuera de la base de datos"}},
    {114, {u"Podcasts", u"Podcasts", u"Podcasts"}},
    {115, {u"Audiobooks", u"Hörbücher", u"Audiolibros"}},
    {116, {u"Playlist", u"Wiedergabeliste", u"Lista"}},
    {117,
     {u"Status: Reading tags, %1 of %2", u"Status: Tags lesen, %1 von %2",
      u"Estado: Leyendo etiquetas, %1 de %2"}},
    {118,
     {u"Status: Ok, from the tags", u"Status: Ok, aus den Tags", u"Estado: Ok, de las etiquetas"}},
    {130, {u"Already there:", u"Bereits vorhanden:", u"Ya existe:"}},
    {131, {u"Replace with:", u"Ersetzen durch:", u"Reemplazar por:"}},
    {140, {u"Open Output Folder", u"Zielverzeichnis öffnen", u"Abrir carpeta de destino"}},
    {141, {u"Eject iPod", u"iPod auswerfen", u"Expulsar iPod"}},
    {142,
     {u"The iPod can be unplugged now.", u"Der iPod kann jetzt abgezogen werden.",
      u"Ya puede desconectar el iPod."}},
    {143,
     {u"This iPod is a folder, not a drive of its own: there is nothing to eject.",
      u"Dieser iPod ist ein Ordner, kein eigenes Laufwerk: Es gibt nichts auszuwerfen.",
      u"Este iPod es una carpeta, no una unidad propia: no hay nada que expulsar."}},
    {144,
     {u"The iPod cannot be ejected here: the system's disk service (UDisks2) is not running.",
      u"Der iPod kann hier nicht ausgeworfen werden: Der Laufwerksdienst des Systems (UDisks2) "
      u"läuft nicht.",
      u"Aquí no se puede expulsar el iPod: el servicio de discos del sistema (UDisks2) no está "
      u"en marcha."}},
    {145,
     {u"The iPod could not be ejected.", u"Der iPod konnte nicht ausgeworfen werden.",
      u"No se pudo expulsar el iPod."}},
    {146, {u"Player", u"Player", u"Reproductor"}},
    {150, {u"Album Artist", u"Albumkünstler", u"artista del álbum"}},
    {151, {u"Disc Nr", u"CD Nr", u"nro de disco"}},
    {152,
     {u"Export All Playlists", u"Alle Wiedergabelisten exportieren", u"Exportar todas las listas"}},
    {153,
     {u"%1 playlists written to %2", u"%1 Wiedergabelisten nach %2 geschrieben",
      u"%1 listas escritas en %2"}},
    {154,
     {u"%1 songs left out: their files are not in the output folder.",
      u"%1 Lieder ausgelassen: Ihre Dateien sind nicht im Zielverzeichnis.",
      u"%1 canciones omitidas: sus archivos no están en la carpeta de salida."}},
    {155,
     {u"These playlists could not be written:",
      u"Diese Wiedergabelisten konnten nicht geschrieben werden:",
      u"Estas listas no se pudieron escribir:"}},
    {156, {u"Destination: %1", u"Ziel: %1", u"Destino: %1"}},
};

constexpr bool rowsInOrder() {
    int previous = -1;
    for (const Row& row : Rows) {
        if (row.number <= previous || row.number >= LanguageTable::SlotCount)
            return false;
        previous = row.number;
    }
    return Rows[0].number == 0;
}
static_assert(rowsInOrder(), "rows must be numbered in ascending order, from 0, inside the table");

} // namespace

bool LanguageTable::LoadLanguage(const QString& key) {
    for (size_t column = 0; column < Rows[0].texts.size(); ++column) {
        if (key != Rows[0].texts[column])
            continue;
        for (const Row& row : Rows)
            entries_[static_cast<size_t>(row.number)] = row.texts[column].toString();
        return true;
    }
    return false;
}

const QString& LanguageTable::Entry(int number) const {
    Q_ASSERT_X(number >= 0 && number < SlotCount, "LanguageTable::Entry", "no such entry");
    if (number < 0 || number >= SlotCount) {
        static const QString none;
        return none;
    }
    return entries_[static_cast<size_t>(number)];
}
