// The pad's commands.
#include "ui/windows/padcommands.h"

#include "core/interface/interfacestrings.h"
#include "ui/common/guard.h"
#include "ui/common/padmodel.h"
#include "ui/common/qtext.h"
#include "ui/common/questions.h"
#include "ui/dialogs/findcharacterwindow.h"
#include "ui/dialogs/tabout.h"
#include "ui/dialogs/tlanguagedlg.h"
#include "ui/dialogs/toptionsform.h"
#include "ui/keys/keyfont.h"
#include "ui/keys/keymenu.h"
#include "ui/platform/desktop.h"
#include "ui/platform/typeintowindow.h"
#include "ui/windows/findlink.h"
#include "ui/windows/paddialogs.h"

#include <QFont>
#include <QMainWindow>
#include <QScopeGuard>
#include <QScreen>

#include <algorithm>

namespace umbrill {

PadCommands::PadCommands(QMainWindow &pad, PadModel &model)
    : QObject(&pad), m_pad(pad), m_model(model), m_desktop(thisDesktop()),
      m_typing(new TypeIntoWindow(pad, model, *m_desktop)), m_find(new FindLink(pad, model, *m_typing, *m_desktop)),
      m_dialogs(std::make_unique<PadDialogs>(pad, *this, model.state())),
      m_chooseFont([this](const QFont &initial) { return askFont(&m_pad, initial); }),
      m_confirm([this](const QString &question) { return askYesOrNo(&m_pad, question); })
{
    // What the other windows show follows the model too.
    connect(&m_model, &PadModel::interfaceLanguageChanged, this, [this](const std::string &controlLanguage) {
        if (const InterfaceTexts *texts = matchInterfaceTexts(controlLanguage))
            m_dialogs->showTexts(controlLanguage, *texts);
    });
    connect(&m_model, &PadModel::keepOnTopChanged, m_find, &FindLink::keepOnTop);
    connect(&m_model, &PadModel::myCharactersChanged, this, [this] {
        guard(&m_pad, [this] { confirmLanguage(m_model.state().LanguageIndex(), std::string(kMyCharactersName)); });
    });
}

PadCommands::~PadCommands() = default;

void PadCommands::setDesktop(std::unique_ptr<Desktop> desktop)
{
    m_typing->setDesktop(*desktop);
    m_find->setDesktop(*desktop);
    m_desktop = std::move(desktop);
}

void PadCommands::setClipboard(std::unique_ptr<ClipboardSink> clipboard) { m_model.setClipboard(std::move(clipboard)); }
void PadCommands::setFontChooser(FontChooser chooser) { m_chooseFont = std::move(chooser); }
void PadCommands::setConfirmer(Confirmer confirmer) { m_confirm = std::move(confirmer); }

TAbout *PadCommands::aboutBox() { return m_dialogs->about(); }
TLanguageDlg *PadCommands::languageDlg() { return m_dialogs->languageDlg(); }
TOptionsForm *PadCommands::optionsForm() { return m_dialogs->options(); }
FindCharacterWindow *PadCommands::findWindow() const { return m_find->window(); }

bool PadCommands::checkForIniFile()
{
    const auto showLanguage = qScopeGuard([this] { m_dialogs->setLanguage(m_model.state().ControlLanguage()); });
    return m_model.checkForIniFile();
}

void PadCommands::restoreStart()
{
    const auto language = m_model.restoreStart();
    if (m_model.state().typingOn())
        m_typing->setOn(true);
    if (language)
        guard(&m_pad, [&] { m_model.loadLanguage(language->key); });
}

void PadCommands::confirmLanguage(int position, const std::optional<std::string> &name)
{
    if (!name) {
        m_model.setLanguageAside();
        m_model.setLanguageIndex(-1);
        return;
    }
    static_cast<void>(m_model.nameLanguage(position, *name));
    m_model.loadLanguage(*name);
}

void PadCommands::copyToOwnLanguages(const std::string &key)
{
    const std::string name = m_model.copyToOwnLanguages(key);
    const std::optional<int> position = m_model.catalogueIndex(name);
    TLanguageDlg *dialog = languageDlg();
    dialog->showCatalogue(m_model.catalogue(true));
    dialog->selectRow(position.value_or(-1));
}

void PadCommands::applyInterfaceLanguageToAll(const std::string &controlLanguage)
{
    m_model.showLanguage()(controlLanguage);
}

OptionsChoice PadCommands::optionsOpening() { return m_model.openOptions(); }

void PadCommands::interfaceLanguagePicked(const std::string &controlLanguage)
{
    m_model.pickControlLanguage(controlLanguage);
}

void PadCommands::optionsCancelled() { m_model.cancelOptions(); }

void PadCommands::optionsChosen(const OptionsChoice &choice) { m_model.storeOptions(choice); }

void PadCommands::LanguageClick()
{
    m_model.setLanguageAside();
    const PadState &state = m_model.state();
    TLanguageDlg *dialog = languageDlg();
    std::vector<CatalogueEntry> entries = m_model.catalogue(true);
    int position = state.LanguageIndex();
    // A generated language's place follows the interface language's order: it is found by its key.
    if (generatedCode(state.currentKey())) {
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [&state](const CatalogueEntry &entry) { return entry.key == state.currentKey(); });
        position = found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
    }
    dialog->showCatalogue(std::move(entries));
    dialog->selectRow(position);
    dialog->exec();
}

void PadCommands::FontClick()
{
    const PadState &state = m_model.state();
    const QFont chosen = m_chooseFont(keyFont(state.CurrentLanguage()));
    m_model.applyKeyFont(utf8(chosen.family()), chosen.pointSize(),
                         m_pad.screen() ? m_pad.screen()->logicalDotsPerInchY() : 96.0);
    const auto question = fontQuestion(state.ControlLanguage());
    if (!question || !m_confirm(qs(*question)))
        return;
    m_model.writeKeyFontEntry();
}

void PadCommands::KeeponTopClick()
{
    m_model.setKeepOnTop(!(m_pad.windowFlags() & Qt::WindowStaysOnTopHint));
}

void PadCommands::ExitClick() { m_pad.close(); }

void PadCommands::HelpMenuIItemClick()
{
    const PadState &state = m_model.state();
    if (openHelp(&m_pad, state.HelpFileName(), state.ControlLanguage()))
        m_pad.showMinimized();
}

void PadCommands::AboutMenuItemClick() { aboutBox()->exec(); }

void PadCommands::Options1Click()
{
    TOptionsForm *dialog = optionsForm();
    // A settings read that fails throws before the dialog is shown.
    const OptionsChoice choice = optionsOpening();
    dialog->Options1Click(choice, m_model.state().UnicodeEnabled());
}

void PadCommands::chooseMode(InputMode mode) { m_model.chooseMode(mode); }
void PadCommands::SingleCharClick() { chooseMode(InputMode::SingleChar); }
void PadCommands::MultipleCharClick() { chooseMode(InputMode::MultipleChar); }
void PadCommands::DirectPasteClick() { chooseMode(InputMode::DirectPaste); }

void PadCommands::ClearClipboardClick() { m_model.clearClipboard(); }

void PadCommands::FindCharacterClick()
{
    if (!m_find->window()) {
        FindCharacterWindow *window = m_find->make(m_model.state().ControlLanguage());
        connect(window, &FindCharacterWindow::chosen, this,
                [this](const std::u16string &character) { guard(&m_pad, [&] { findResultChosen(character); }); });
        connect(window, &FindCharacterWindow::keyMenuRequested, this,
                [this](const std::u16string &character, QPoint at) { keyMenu(character, at, false); });
        window->setDragData([this](std::u16string_view character) { return m_model.dragData(character); });
    }
    m_find->open(m_pad.windowFlags() & Qt::WindowStaysOnTopHint);
}

void PadCommands::Button1Click(const std::u16string &character)
{
    if (m_typing->isOn())
        m_typing->type(m_model.typeClick(character));
    else
        m_model.click(character);
}

void PadCommands::findResultChosen(const std::u16string &character)
{
    if (!m_typing->isOn()) {
        m_model.click(character);
        return;
    }
    m_find->typeBack(m_model.typeClick(character));
}

void PadCommands::removeLastCharacter() { m_model.removeLastCharacter(); }
void PadCommands::placeCollection() { m_model.placeCollection(); }
void PadCommands::clearCollection() { m_model.clearCollection(); }

void PadCommands::keyMenu(const std::u16string &character, QPoint globalPos, bool onPad)
{
    std::function<void()> remove;
    if (onPad && m_model.state().showsMyCharacters())
        remove = [this, character] { guard(&m_pad, [&] { removeFromMyCharacters(character); }); };
    showKeyMenu(&m_pad, globalPos, m_model.state().ControlLanguage(),
                [this, character] { guard(&m_pad, [&] { addToMyCharacters(character); }); }, remove);
}

void PadCommands::addToMyCharacters(const std::u16string &character) { m_model.addToMyCharacters(character); }
void PadCommands::removeFromMyCharacters(const std::u16string &character) { m_model.removeFromMyCharacters(character); }

} // namespace umbrill
