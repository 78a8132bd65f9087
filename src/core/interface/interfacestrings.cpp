// The string sets, one table per window; rows follow the order in which each
// window's SetEnglish ... SetSpanish assign them.
#include "core/interface/interfacestrings.h"

namespace umbrill {
namespace {

constexpr std::array<MainFormStrings, 4> kMainForm = {{
    {"&Mode", "&Single Char", "&Multiple Char", "&Direct Paste", "&Font", "&Options", "&Keep on Top",
     "Exit", "&Language", "&Help", "&Help", "&About"},
    {"&Modus", "&Einzelner Buchstaben", "&Mehrere Buchstaben", "&Direct PasteG", "&Schriftart",
     "&Alternativen", "&Obenauf blieben", "&Beenden", "&Spracke", "&Hilfe", "&Hilfe", "&Über"},
    {"&Mode", "&Single CharF", "&Multiple CharF", "&Direct PasteF", "&Format", "&Options",
     "Fenêtre &visuelle", "Sortie", "&Langue", "&Aide", "&Aide", "A &propos"},
    {"&Modo", "Caracter &Simple", "Caracter &Completo", "&Direct PasteF", "&Fundición", "&Opciones",
     "&Ventana visual", "Salida", "&Idioma", "&Ayuda", "&Ayuda", "A &proposito de"},
}};

constexpr std::array<OptionsFormStrings, 4> kOptionsForm = {{
    {"Umbrill Options", "Paste control", "Paste as plain text", "Paste as rich text", "Paste as Unicode",
     "Paste as HTML", "Key size", "Control language", "Ok", "Cancel"},
    {"Umbrill Alternativen", "Kopierkontrolle", "Als normalen Text kopieren", "Als Rich Text kopieren",
     "Als Unicode kopieren", "Als HTML kopieren", "Tastengrösse", "Menü sprach", "Ok", "Widernifen"},
    {"Options", "Coller", "Copier en caractère simple", "Copier en caractère riche", "Copier en Unicode",
     "Copier en HTML", "Taille", "Menu des langues", "Ok", "Annuler"},
    {"Opciones", "Pegar", "Copiar en caracter simple", "Copiar en caracter rico", "Copiar en Unicode",
     "Copiar en HTML", "Tamaño", "Menu idioma", "Si", "Anular"},
}};

// The Spanish Cancel reads "Annular" here and "Anular" in the Options dialog.
constexpr std::array<LanguageDlgStrings, 4> kLanguageDlg = {{
    {"Umbrill Language Selection", "Select the required language", "Ok", "Cancel"},
    {"Umbrill Sprachen Auswahl", "Wählen Sie die gewünschte Sprache", "Ok", "Widernifen"},
    {"Choix des langues", "Sectionner la langue vaulu", "Ok", "Annuler"},
    {"Selección de idiomas", "Elija el idioma", "Si", "Annular"},
}};

constexpr std::array<AboutStrings, 4> kAbout = {{
    {"Build ", "Ok"},
    {"Bau Nr. ", "Ja"},
    {"Version ", "Oui"},
    {"Version ", "Si"},
}};

constexpr std::array<std::string_view, 4> kEmptyPadHint = {
    "Choose a language: Alt+L",
    "Sprache wählen: Alt+S",
    "Choisir une langue : Alt+L",
    "Elegir un idioma: Alt+I",
};

constexpr std::array<std::string_view, 4> kRecentName = {"Recent", "Zuletzt verwendet", "Récents", "Recientes"};
constexpr std::array<std::string_view, 4> kAddToMine = {
    "&Add to My Characters", "Zu My Characters &hinzufügen", "&Ajouter à My Characters", "&Añadir a My Characters"};
constexpr std::array<std::string_view, 4> kRemoveFromMine = {
    "&Remove from My Characters", "Aus My Characters &entfernen", "&Retirer de My Characters",
    "&Quitar de My Characters"};
constexpr std::array<FindStrings, 4> kFind = {{
    {"&Find Character", "Find Character", "Name, code or character", "Nothing found", "Clear search"},
    {"&Zeichen suchen", "Zeichen suchen", "Name, Code oder Zeichen", "Nichts gefunden", "Suche leeren"},
    {"&Rechercher un caractère", "Rechercher un caractère", "Nom, code ou caractère", "Aucun résultat", "Effacer la recherche"},
    {"&Buscar carácter", "Buscar carácter", "Nombre, código o carácter", "Sin resultados", "Borrar la búsqueda"},
}};

constexpr std::array<std::string_view, 4> kHelpUnopened = {
    "No program can open file umbrill_help.pdf",
    "Kein Programm kann das Dokument öffnen: umbrill_help.pdf",
    "Aucun programme ne peut ouvrir le fichier umbrill_help.pdf",
    "Ningún programa puede abrir el fichero umbrill_help.pdf",
};

constexpr std::array<std::string_view, 4> kHelpMissing = {
    "Cannot find file umbrill_help.pdf",
    "Kann das Dokument nicht finden: umbrill_help.pdf",
    "Ne trouve pas le fichier umbrill_help.pdf",
    "No encuertra le fichero umbrill_help.pdf",
};

constexpr std::array<std::string_view, 4> kFontQuestion = {
    "Would you like this to be the default font for this language?",
    "Soll dies die Pflichtgrösse für diese Sprache sein?",
    "Voulez-vous utiliser ce format par défaut pout cette langue?",
    "¿Quiere usted utilicar esta fundición por defecto este idioma?",
};

constexpr std::size_t index(InterfaceLanguage language) { return static_cast<std::size_t>(language); }

// The row of a table of texts for the stored interface language; English when nothing matches.
template <class Text>
const Text &inLanguage(const std::array<Text, 4> &table, std::string_view controlLanguage)
{
    return table[index(matchInterfaceLanguage(controlLanguage).value_or(InterfaceLanguage::English))];
}

} // namespace

const MainFormStrings kMainFormDefault = {"&Mode", "&Single Char", "&Multiple Char", "&Direct Paste", "&Font",
                                         "&Options ...", "&Keep on Top", "Exit", "&Language", "&Help",
                                         "&Help", "&About"};
const OptionsFormStrings kOptionsFormDefault = {"Umbrill Options", "Paste control", "Paste as plain text",
                                               "Paste as rich text", "Paste as Unicode", "Paste as HTML",
                                               "Key size", "Menu language", "Ok", "Cancel"};
const LanguageDlgStrings kLanguageDlgDefault = {"Umbrill Language Selection", "Select the required language",
                                               "Ok", "Cancel"};

std::optional<InterfaceLanguage> matchInterfaceLanguage(std::string_view controlLanguage)
{
    if (controlLanguage == "English") return InterfaceLanguage::English;
    if (controlLanguage == "Deutsch") return InterfaceLanguage::German;
    if (controlLanguage.substr(0, 4) == "Fran") return InterfaceLanguage::French;
    if (controlLanguage == "Español") return InterfaceLanguage::Spanish;
    return std::nullopt;
}

const MainFormStrings &mainFormStrings(InterfaceLanguage language) { return kMainForm[index(language)]; }
const OptionsFormStrings &optionsFormStrings(InterfaceLanguage language) { return kOptionsForm[index(language)]; }
const LanguageDlgStrings &languageDlgStrings(InterfaceLanguage language) { return kLanguageDlg[index(language)]; }
const AboutStrings &aboutStrings(InterfaceLanguage language) { return kAbout[index(language)]; }

std::string_view unicodeNote(bool unicodeEnabled)
{
    return unicodeEnabled ? "Unicode enabled" : "Not Unicode enabled\nSome characters may not\nwork correctly";
}

std::string_view helpMissingMessage(std::string_view controlLanguage)
{
    return inLanguage(kHelpMissing, controlLanguage);
}

std::string_view helpUnopenedMessage(std::string_view controlLanguage)
{
    return inLanguage(kHelpUnopened, controlLanguage);
}

std::string_view emptyPadHint(std::string_view controlLanguage)
{
    return inLanguage(kEmptyPadHint, controlLanguage);
}

std::string_view recentLanguageName(std::string_view controlLanguage)
{
    return inLanguage(kRecentName, controlLanguage);
}

std::string_view addToMyCharactersCaption(std::string_view controlLanguage)
{
    return inLanguage(kAddToMine, controlLanguage);
}

std::string_view removeFromMyCharactersCaption(std::string_view controlLanguage)
{
    return inLanguage(kRemoveFromMine, controlLanguage);
}

namespace {

constexpr std::array<std::string_view, 4> kTypeIntoWindow = {
    "&Type into Window",
    "In Fenster &tippen",
    "&Taper dans la fenêtre",
    "&Escribir en la ventana",
};

// One row per language, one column per TypingUnavailable value.
constexpr std::array<std::array<std::string_view, 4>, 4> kTypingUnavailable = {{
    {"The X server does not offer the XTEST extension, so no key presses can be sent.",
     "The keyboard mapping has no free key code to type with.",
     "This Wayland desktop offers no RemoteDesktop portal to type through.",
     "Typing needs an X11 or Wayland desktop."},
    {"Der X-Server bietet die Erweiterung XTEST nicht an; es lassen sich keine Tasten senden.",
     "Die Tastaturbelegung hat keinen freien Tastencode zum Tippen.",
     "Dieser Wayland-Desktop bietet kein RemoteDesktop-Portal zum Tippen an.",
     "Zum Tippen braucht es einen X11- oder Wayland-Desktop."},
    {"Le serveur X n’offre pas l’extension XTEST : aucune touche ne peut être envoyée.",
     "La table du clavier n’a aucun code de touche libre pour taper.",
     "Ce bureau Wayland n’offre pas de portail RemoteDesktop pour taper.",
     "Taper demande un bureau X11 ou Wayland."},
    {"El servidor X no ofrece la extensión XTEST: no se pueden enviar teclas.",
     "La tabla del teclado no tiene ningún código de tecla libre para escribir.",
     "Este escritorio Wayland no ofrece el portal RemoteDesktop para escribir.",
     "Escribir necesita un escritorio X11 o Wayland."},
}};

} // namespace

std::string_view typeIntoWindowCaption(std::string_view controlLanguage)
{
    return inLanguage(kTypeIntoWindow, controlLanguage);
}

std::string_view typingUnavailableReason(std::string_view controlLanguage, TypingUnavailable reason)
{
    return inLanguage(kTypingUnavailable, controlLanguage)[static_cast<std::size_t>(reason)];
}

const FindStrings &findStrings(std::string_view controlLanguage)
{
    return inLanguage(kFind, controlLanguage);
}

namespace {

constexpr std::array<CollectionStrings, 4> kCollection = {{
    {"Nothing collected", "Collected characters. Click: on the clipboard again. Backspace: remove the last one",
     "Empty the collection (Ctrl+Backspace)"},
    {"Nichts gesammelt", "Gesammelte Zeichen. Klick: wieder in die Zwischenablage. Rücktaste: das letzte entfernen",
     "Sammlung leeren (Strg+Rücktaste)"},
    {"Rien de collecté",
     "Caractères collectés. Clic : de nouveau dans le presse-papiers. Retour arrière : retirer le dernier",
     "Vider la collection (Ctrl+Retour arrière)"},
    {"Nada reunido", "Caracteres reunidos. Clic: de nuevo al portapapeles. Retroceso: quitar el último",
     "Vaciar la colección (Ctrl+Retroceso)"},
}};

} // namespace

const CollectionStrings &collectionStrings(std::string_view controlLanguage)
{
    return inLanguage(kCollection, controlLanguage);
}

std::optional<std::string_view> fontQuestion(std::string_view controlLanguage)
{
    if (const auto language = matchInterfaceLanguage(controlLanguage))
        return kFontQuestion[index(*language)];
    return std::nullopt;
}

} // namespace umbrill
