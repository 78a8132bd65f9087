// The interface languages, one row each, and the lookups by stored name.
#include "core/interface/interfacestrings.h"

namespace umbrill {
namespace {

// Each row: name, match prefix, help document, Find's everyday words, then the
// texts of the main window, the Options dialog, the language dialog, the About
// box, Find, the collection strip, Type into Window and the pad's own lines.
// The Spanish Cancel reads "Annular" in the language dialog and "Anular" in
// the Options dialog.
constexpr InterfaceTexts kLanguages[] = {
    {
        "English", "", "umbrill_help.pdf", InterfaceLanguage::English,
        {"&Mode", "&Single Char", "&Multiple Char", "&Direct Paste", "&Font", "&Options", "&Keep on Top", "Exit",
         "&Language", "&Help", "&Help", "&About"},
        {"Umbrill Options", "Paste control", "Paste as plain text", "Paste as rich text", "Paste as Unicode",
         "Paste as HTML", "Key size", "Control language", "Ok", "Cancel"},
        {"Umbrill Language Selection", "Select the required language", "Ok", "Cancel", "&Filter:",
         "More languages (from CLDR)", "&Copy to My Languages"},
        {"Build ", "Ok"},
        {"&Find Character", "Find Character", "Name, code or character", "Nothing found", "Clear search"},
        {"Nothing collected", "Collected characters. Click: on the clipboard again. Backspace: remove the last one",
         "Empty the collection (Ctrl+Backspace)"},
        {"&Type into Window",
         {"The X server does not offer the XTEST extension, so no key presses can be sent.",
          "The keyboard mapping has no free key code to type with.",
          "This Wayland desktop offers no RemoteDesktop portal to type through.",
          "Typing needs an X11 or Wayland desktop."},
         "Could not type %s: it is on the clipboard (Ctrl+V).",
         "The desktop stopped the typing session. Turn Type into Window on to allow it again."},
        {"Choose a language: Alt+L", "Recent", "&Add to My Characters", "&Remove from My Characters",
         "Cannot find file umbrill_help.pdf", "No program can open file umbrill_help.pdf",
         "Would you like this to be the default font for this language?"},
    },
    {
        "Deutsch", "", "umbrill_help_de.pdf", InterfaceLanguage::German,
        {"&Modus", "&Einzelner Buchstaben", "&Mehrere Buchstaben", "&Direct PasteG", "&Schriftart", "&Alternativen",
         "&Obenauf blieben", "&Beenden", "&Spracke", "&Hilfe", "&Hilfe", "&Über"},
        {"Umbrill Alternativen", "Kopierkontrolle", "Als normalen Text kopieren", "Als Rich Text kopieren",
         "Als Unicode kopieren", "Als HTML kopieren", "Tastengrösse", "Menü sprach", "Ok", "Widernifen"},
        {"Umbrill Sprachen Auswahl", "Wählen Sie die gewünschte Sprache", "Ok", "Widernifen", "&Filtern:",
         "Weitere Sprachen (aus CLDR)", "In meine Sprachen &kopieren"},
        {"Bau Nr. ", "Ja"},
        {"&Zeichen suchen", "Zeichen suchen", "Name, Code oder Zeichen", "Nichts gefunden", "Suche leeren"},
        {"Nichts gesammelt",
         "Gesammelte Zeichen. Klick: wieder in die Zwischenablage. Rücktaste: das letzte entfernen",
         "Sammlung leeren (Strg+Rücktaste)"},
        {"In Fenster &tippen",
         {"Der X-Server bietet die Erweiterung XTEST nicht an; es lassen sich keine Tasten senden.",
          "Die Tastaturbelegung hat keinen freien Tastencode zum Tippen.",
          "Dieser Wayland-Desktop bietet kein RemoteDesktop-Portal zum Tippen an.",
          "Zum Tippen braucht es einen X11- oder Wayland-Desktop."},
         "%s ließ sich nicht tippen: es liegt in der Zwischenablage (Strg+V).",
         "Der Desktop hat die Tipp-Sitzung beendet. Schalten Sie „In Fenster tippen“ ein, um sie wieder zu erlauben."},
        {"Sprache wählen: Alt+S", "Zuletzt verwendet", "Zu My Characters &hinzufügen", "Aus My Characters &entfernen",
         "Kann das Dokument nicht finden: umbrill_help.pdf",
         "Kein Programm kann das Dokument öffnen: umbrill_help.pdf",
         "Soll dies die Pflichtgrösse für diese Sprache sein?"},
    },
    {
        "Français", "Fran", "umbrill_help_fr.pdf", InterfaceLanguage::French,
        {"&Mode", "&Single CharF", "&Multiple CharF", "&Direct PasteF", "&Format", "&Options", "Fenêtre &visuelle",
         "Sortie", "&Langue", "&Aide", "&Aide", "A &propos"},
        {"Options", "Coller", "Copier en caractère simple", "Copier en caractère riche", "Copier en Unicode",
         "Copier en HTML", "Taille", "Menu des langues", "Ok", "Annuler"},
        {"Choix des langues", "Sectionner la langue vaulu", "Ok", "Annuler", "&Filtrer :",
         "Autres langues (d’après CLDR)", "&Copier dans mes langues"},
        {"Version ", "Oui"},
        {"&Rechercher un caractère", "Rechercher un caractère", "Nom, code ou caractère", "Aucun résultat",
         "Effacer la recherche"},
        {"Rien de collecté",
         "Caractères collectés. Clic : de nouveau dans le presse-papiers. Retour arrière : retirer le dernier",
         "Vider la collection (Ctrl+Retour arrière)"},
        {"&Taper dans la fenêtre",
         {"Le serveur X n’offre pas l’extension XTEST : aucune touche ne peut être envoyée.",
          "La table du clavier n’a aucun code de touche libre pour taper.",
          "Ce bureau Wayland n’offre pas de portail RemoteDesktop pour taper.",
          "Taper demande un bureau X11 ou Wayland."},
         "Impossible de taper %s : il est dans le presse-papiers (Ctrl+V).",
         "Le bureau a arrêté la session de saisie. Activez « Taper dans la fenêtre » pour l’autoriser à nouveau."},
        {"Choisir une langue : Alt+L", "Récents", "&Ajouter à My Characters", "&Retirer de My Characters",
         "Ne trouve pas le fichier umbrill_help.pdf", "Aucun programme ne peut ouvrir le fichier umbrill_help.pdf",
         "Voulez-vous utiliser ce format par défaut pout cette langue?"},
    },
    {
        "Español", "", "umbrill_help_es.pdf", InterfaceLanguage::Spanish,
        {"&Modo", "Caracter &Simple", "Caracter &Completo", "&Direct PasteF", "&Fundición", "&Opciones",
         "&Ventana visual", "Salida", "&Idioma", "&Ayuda", "&Ayuda", "A &proposito de"},
        {"Opciones", "Pegar", "Copiar en caracter simple", "Copiar en caracter rico", "Copiar en Unicode",
         "Copiar en HTML", "Tamaño", "Menu idioma", "Si", "Anular"},
        {"Selección de idiomas", "Elija el idioma", "Si", "Annular", "&Filtrar:", "Más idiomas (según CLDR)",
         "&Copiar a mis idiomas"},
        {"Version ", "Si"},
        {"&Buscar carácter", "Buscar carácter", "Nombre, código o carácter", "Sin resultados", "Borrar la búsqueda"},
        {"Nada reunido", "Caracteres reunidos. Clic: de nuevo al portapapeles. Retroceso: quitar el último",
         "Vaciar la colección (Ctrl+Retroceso)"},
        {"&Escribir en la ventana",
         {"El servidor X no ofrece la extensión XTEST: no se pueden enviar teclas.",
          "La tabla del teclado no tiene ningún código de tecla libre para escribir.",
          "Este escritorio Wayland no ofrece el portal RemoteDesktop para escribir.",
          "Escribir necesita un escritorio X11 o Wayland."},
         "No se pudo escribir %s: está en el portapapeles (Ctrl+V).",
         "El escritorio detuvo la sesión de escritura. Active «Escribir en la ventana» para permitirla de nuevo."},
        {"Elegir un idioma: Alt+I", "Recientes", "&Añadir a My Characters", "&Quitar de My Characters",
         "No encuertra le fichero umbrill_help.pdf", "Ningún programa puede abrir el fichero umbrill_help.pdf",
         "¿Quiere usted utilicar esta fundición por defecto este idioma?"},
    },
};

} // namespace

const MainFormStrings kMainFormDefault = {"&Mode", "&Single Char", "&Multiple Char", "&Direct Paste", "&Font",
                                         "&Options ...", "&Keep on Top", "Exit", "&Language", "&Help",
                                         "&Help", "&About"};
const OptionsFormStrings kOptionsFormDefault = {"Umbrill Options", "Paste control", "Paste as plain text",
                                               "Paste as rich text", "Paste as Unicode", "Paste as HTML",
                                               "Key size", "Menu language", "Ok", "Cancel"};
const LanguageDlgStrings kLanguageDlgDefault = {"Umbrill Language Selection", "Select the required language",
                                               "Ok", "Cancel", "&Filter:", "More languages (from CLDR)",
                                               "&Copy to My Languages"};

std::span<const InterfaceTexts> interfaceLanguages() { return kLanguages; }

const InterfaceTexts *matchInterfaceTexts(std::string_view controlLanguage)
{
    for (const InterfaceTexts &row : kLanguages) {
        if (controlLanguage == row.Name || (!row.MatchPrefix.empty() && controlLanguage.starts_with(row.MatchPrefix)))
            return &row;
    }
    return nullptr;
}

const InterfaceTexts &interfaceTexts(std::string_view controlLanguage)
{
    const InterfaceTexts *row = matchInterfaceTexts(controlLanguage);
    return row ? *row : kLanguages[0];
}

std::string_view unicodeNote(bool unicodeEnabled)
{
    return unicodeEnabled ? "Unicode enabled" : "Not Unicode enabled\nSome characters may not\nwork correctly";
}

std::string_view typingUnavailableReason(std::string_view controlLanguage, TypingUnavailable reason)
{
    return interfaceTexts(controlLanguage).Typing.Unavailable[static_cast<std::size_t>(reason)];
}

std::string_view typingSessionClosedNote(std::string_view controlLanguage)
{
    return interfaceTexts(controlLanguage).Typing.SessionClosed;
}

const FindStrings &findStrings(std::string_view controlLanguage) { return interfaceTexts(controlLanguage).Find; }

const CollectionStrings &collectionStrings(std::string_view controlLanguage)
{
    return interfaceTexts(controlLanguage).Collection;
}

std::string onClipboardNotice(std::string_view controlLanguage, std::string_view characters)
{
    std::string text(interfaceTexts(controlLanguage).Typing.OnClipboard);
    text.replace(text.find("%s"), 2, characters);
    return text;
}

std::optional<std::string_view> fontQuestion(std::string_view controlLanguage)
{
    if (const InterfaceTexts *row = matchInterfaceTexts(controlLanguage))
        return row->Pad.FontQuestion;
    return std::nullopt;
}

} // namespace umbrill
