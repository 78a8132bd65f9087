// The main window.
#include "ui/windows/tmainform.h"

#include "core/interface/interfacestrings.h"
#include "ui/common/desktoppalette.h"
#include "ui/common/guard.h"
#include "ui/common/padmodel.h"
#include "ui/common/qtext.h"
#include "ui/common/questions.h"
#include "ui/common/shell.h"
#include "ui/dialogs/findcharacterwindow.h"
#include "ui/dialogs/tabout.h"
#include "ui/dialogs/tlanguagedlg.h"
#include "ui/dialogs/toptionsform.h"
#include "ui/keys/keyfont.h"
#include "ui/keys/keymenu.h"
#include "ui/platform/desktop.h"
#include "ui/platform/typeintowindow.h"
#include "ui/windows/collectionstrip.h"
#include "ui/windows/findlink.h"
#include "ui/windows/noticeline.h"
#include "ui/windows/padarea.h"
#include "ui/windows/paddialogs.h"
#include "ui/windows/padkeys.h"
#include "ui/windows/padmenus.h"
#include "ui/windows/windowplace.h"

#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QTimer>

#include <algorithm>

namespace umbrill {

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent), m_model(new PadModel(GetProgramDir(), this)), m_state(m_model->state()),
      m_desktop(thisDesktop()), m_dialogs(std::make_unique<PadDialogs>(*this))
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(qs(kMainCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setAutoFillBackground(true);
    m_client = new PadArea(this);
    setCentralWidget(m_client);
    m_hint = m_client->hint();
    m_strip = m_client->strip();
    m_keys = &m_client->keys();
    connect(m_strip, &CollectionStrip::placeRequested, this, [this] { guard(this, [this] { placeCollection(); }); });
    connect(m_strip, &CollectionStrip::clearRequested, this, [this] { guard(this, [this] { clearCollection(); }); });
    connect(m_keys, &PadKeys::clicked, this, [this](KeyButton *key) { guard(this, [&] { Button1Click(key); }); });
    connect(m_keys, &PadKeys::menuRequested, this, [this](KeyButton *key, QPoint at) { keyMenu(key->character(), at, true); });
    m_keys->setDragData([this](std::u16string_view character) { return m_model->dragData(character); });
    m_place = new WindowPlace(*this, *m_model);
    m_model->storeWhenShown(*this);
    buildMenus();
    m_find = new FindLink(*this, *m_model, *m_typing, *m_desktop);
    keepFollowingDesktop(*this, *m_hint);
    applyMainStrings(kMainFormDefault, interfaceLanguages().front());
    m_notice = new NoticeLine(*this);
    connect(m_typing, &TypeIntoWindow::notice, m_notice, &NoticeLine::say);

    // The window redraws what the model announces.
    connect(m_model, &PadModel::languageLoaded, this, &TMainForm::showKeys);
    connect(m_model, &PadModel::collectionChanged, this, &TMainForm::showCollection);
    connect(m_model, &PadModel::interfaceLanguageChanged, this, &TMainForm::applyInterfaceLanguageToAll);
    connect(m_model, &PadModel::myCharactersChanged, this, [this] {
        guard(this, [this] { confirmLanguage(m_state.LanguageIndex(), std::string(kMyCharactersName)); });
    });
    connect(m_model, &PadModel::typingChanged, this, [this] {
        for (KeyButton *key : m_keys->keys())
            m_typing->prepareKey(key);
    });
    m_chooseFont = [this](const QFont &initial) { return askFont(this, initial); };
    m_confirm = [this](const QString &question) { return askYesOrNo(this, question); };

    FormCreate();
}

void TMainForm::buildMenus()
{
    m_typing = new TypeIntoWindow(*this, *m_model, *m_desktop);
    setupMenus(*this, m_typing->action());
    connect(m_modeMenu, &QMenu::aboutToShow, m_typing, &TypeIntoWindow::probe);
    const std::pair<QAction *, void (TMainForm::*)()> commands[] = {
        {m_singleChar, &TMainForm::SingleCharClick},   {m_multipleChar, &TMainForm::MultipleCharClick},
        {m_directPaste, &TMainForm::DirectPasteClick}, {m_clearClipboard, &TMainForm::ClearClipboardClick},
        {m_findCharacter, &TMainForm::FindCharacterClick}, {m_font, &TMainForm::FontClick},
        {m_options, &TMainForm::Options1Click},       {m_keepOnTop, &TMainForm::KeeponTopClick},
        {m_exit, &TMainForm::ExitClick},              {m_language, &TMainForm::LanguageClick},
        {m_helpItem, &TMainForm::HelpMenuIItemClick}, {m_aboutItem, &TMainForm::AboutMenuItemClick},
        {m_removeLast, &TMainForm::removeLastCharacter}, {m_clearCollection, &TMainForm::clearCollection}};
    for (const auto &[item, command] : commands)
        connect(item, &QAction::triggered, this, [this, command] { guard(this, [&] { (this->*command)(); }); });
}

TMainForm::~TMainForm() = default;

TAbout *TMainForm::aboutBox() { return m_dialogs->about(); }
TLanguageDlg *TMainForm::languageDlg() { return m_dialogs->languageDlg(); }
TOptionsForm *TMainForm::optionsForm() { return m_dialogs->options(); }

void TMainForm::setClipboard(std::unique_ptr<ClipboardSink> clipboard) { m_model->setClipboard(std::move(clipboard)); }

void TMainForm::setDesktop(std::unique_ptr<Desktop> desktop)
{
    m_typing->setDesktop(*desktop);
    m_find->setDesktop(*desktop);
    m_desktop = std::move(desktop);
}

const QLabel *TMainForm::notice() const { return m_notice; }

const QList<KeyButton *> &TMainForm::keys() const { return m_keys->keys(); }

void TMainForm::FormCreate()
{
    setFixedSize(200, 200);
    m_font->setVisible(false);
    m_baseCaption = windowTitle();
    m_directPaste->setEnabled(false);
    m_directPaste->setVisible(false);
    guard(this, [this] { CheckForIniFile(); });
    m_dialogs->setLanguage(m_state.ControlLanguage());
}

void TMainForm::CheckForIniFile()
{
    if (!m_model->checkForIniFile()) {
        tell(this, qs(kMissingDataFileMessage), QStringLiteral("MissingDataFileBox"));
        return;
    }
    showOwnTexts(m_state.ControlLanguage());
}

void TMainForm::applyMainStrings(const MainFormStrings &s, const InterfaceTexts &language)
{
    m_hint->setText(qs(language.Pad.EmptyPadHint));
    m_strip->setStrings(language.Collection);
    m_findCharacter->setText(qs(language.Find.FindCharacter));
    if (m_findWindow) {
        m_findWindow->setStrings(language.Find);
        m_findWindow->setSearchLanguage(language.SearchWords);
    }
    m_modeMenu->setTitle(qs(s.ModeMenuItem));
    m_singleChar->setText(qs(s.SingleChar));
    m_multipleChar->setText(qs(s.MultipleChar));
    m_directPaste->setText(qs(s.DirectPaste));
    m_font->setText(qs(s.Font));
    m_options->setText(qs(s.Options1));
    m_keepOnTop->setText(qs(s.KeeponTop));
    m_exit->setText(qs(s.Exit));
    m_language->setText(qs(s.Language));
    m_helpMenu->setTitle(qs(s.Help));
    m_helpItem->setText(qs(s.HelpMenuIItem));
    m_aboutItem->setText(qs(s.AboutMenuItem));
}

void TMainForm::showTexts(const InterfaceTexts &texts)
{
    applyMainStrings(texts.Main, texts);
    m_typing->setLanguage(texts.Name);
}

void TMainForm::showOwnTexts(std::string_view controlLanguage)
{
    if (const InterfaceTexts *texts = matchInterfaceTexts(controlLanguage))
        showTexts(*texts);
}

void TMainForm::applyInterfaceLanguageToAll(const std::string &controlLanguage)
{
    // A language that matches none leaves every window's texts as they are.
    if (const InterfaceTexts *texts = matchInterfaceTexts(controlLanguage)) {
        showTexts(*texts);
        m_dialogs->showTexts(controlLanguage, *texts);
    }
}

ShowLanguage TMainForm::showLanguage() { return m_model->showLanguage(); }

OptionsChoice TMainForm::optionsOpening() { return m_model->openOptions(); }

void TMainForm::interfaceLanguagePicked(const std::string &controlLanguage)
{
    m_model->pickControlLanguage(controlLanguage);
}

void TMainForm::optionsCancelled() { m_model->cancelOptions(); }

void TMainForm::optionsChosen(const OptionsChoice &choice)
{
    m_model->storeOptions(choice);
    showCollection();
    PaintKeys();
}

void TMainForm::confirmLanguage(int position, const std::optional<std::string> &name)
{
    setFontEnabled(false);
    if (!name) {
        m_model->setLanguageIndex(-1);
        return;
    }
    ClearButtonList();
    showLanguageName(m_model->nameLanguage(position, *name));
    GetLanguageData(*name);
    setFontEnabled(true);
}

void TMainForm::copyToOwnLanguages(const std::string &key)
{
    const std::string name = m_model->copyToOwnLanguages(key);
    const std::optional<int> position = m_model->catalogueIndex(name);
    TLanguageDlg *dialog = languageDlg();
    dialog->showCatalogue(m_model->catalogue(true));
    dialog->selectRow(position.value_or(-1));
}

void TMainForm::restoreRemembered()
{
    if (m_state.remembered(kKeepOnTop) == false) {
        m_desktop->keepOnTop(*this, false);
        m_keepOnTop->setChecked(false);
    }
    if (m_state.remembered(kTypeIntoWindow).value_or(false))
        m_typing->setOn(true);
    // The core restores the rest, writing nothing; the window shows it.
    const auto language = m_model->restoreStart();
    if (m_state.remembered(kInputMode))
        checkMode(m_state.Output().Mode());
    if (language)
        guard(this, [&] {
            showLanguageName(m_state.CurrentLanguage().LanguageName);
            GetLanguageData(language->key);
            setFontEnabled(true);
        });
    m_place->restore(m_state.remembered(kWindowPosition));
}

void TMainForm::SetLanguage(const std::string &name)
{
    m_model->setLanguageName(name);
    showLanguageName(name);
}

void TMainForm::showLanguageName(const std::string &name)
{
    setWindowTitle(qs(name) + QLatin1Char(' ') + m_baseCaption);
    setApplicationTitle(qs(name));
}

void TMainForm::GetLanguageData(const std::string &name)
{
    // Loading shows the stored interface language in this window only.
    m_model->loadLanguage(name, [this](const std::string &language) { showOwnTexts(language); });
}

void TMainForm::showKeys()
{
    m_client->makeKeys(m_state, m_client->room(*this), *m_typing);
    PaintKeys();
}

void TMainForm::ClearButtonList()
{
    m_keys->clear();
    m_client->updateHint();
}

void TMainForm::PaintKeys()
{
    if (m_state.CurrentLanguage().LanguageName.empty())
        return;
    if (m_client->fitWindow(*this, m_client->layOut(*m_model, m_client->room(*this))))
        m_place->keepOnScreen();
}

void TMainForm::setFontEnabled(bool enabled)
{
    m_fontEnabled = enabled;
    m_font->setEnabled(enabled);
}

void TMainForm::LanguageClick()
{
    ClearButtonList();
    PaintKeys();
    setWindowTitle(m_baseCaption);
    setFontEnabled(false);
    TLanguageDlg *dialog = languageDlg();
    std::vector<CatalogueEntry> entries = m_model->catalogue(true);
    int position = m_state.LanguageIndex();
    // A generated language's place follows the interface language's order: it is found by its key.
    if (generatedCode(m_state.currentKey())) {
        const auto found = std::find_if(entries.begin(), entries.end(),
                                        [this](const CatalogueEntry &entry) { return entry.key == m_state.currentKey(); });
        position = found == entries.end() ? -1 : static_cast<int>(found - entries.begin());
    }
    dialog->showCatalogue(std::move(entries));
    dialog->selectRow(position);
    dialog->exec();
}

void TMainForm::FontClick()
{
    const QFont chosen = m_chooseFont(keyFont(m_state.CurrentLanguage()));
    m_model->applyKeyFont(utf8(chosen.family()), chosen.pointSize(), screen() ? screen()->logicalDotsPerInchY() : 96.0);
    PaintKeys();
    const auto question = fontQuestion(m_state.ControlLanguage());
    if (!question || !m_confirm(qs(*question)))
        return;
    m_model->writeKeyFontEntry();
}

void TMainForm::KeeponTopClick()
{
    const bool onTop = !(windowFlags() & Qt::WindowStaysOnTopHint);
    m_desktop->keepOnTop(*this, onTop);
    m_keepOnTop->setChecked(onTop);
    m_model->setKeepOnTop(onTop);
    m_find->keepOnTop(onTop);
}

void TMainForm::ExitClick() { close(); }

void TMainForm::HelpMenuIItemClick()
{
    if (openHelp(this, m_state.HelpFileName(), m_state.ControlLanguage()))
        showMinimized();
}

void TMainForm::AboutMenuItemClick() { aboutBox()->exec(); }

void TMainForm::Options1Click()
{
    TOptionsForm *dialog = optionsForm();
    // A settings read that fails throws before the dialog is shown.
    const OptionsChoice choice = optionsOpening();
    dialog->Options1Click(choice, m_state.UnicodeEnabled());
}

void TMainForm::checkMode(InputMode mode)
{
    m_singleChar->setChecked(mode == InputMode::SingleChar);
    m_multipleChar->setChecked(mode == InputMode::MultipleChar);
    m_directPaste->setChecked(mode == InputMode::DirectPaste);
}

void TMainForm::chooseMode(InputMode mode)
{
    checkMode(mode);
    m_model->chooseMode(mode);
}

void TMainForm::SingleCharClick() { chooseMode(InputMode::SingleChar); }
void TMainForm::MultipleCharClick() { chooseMode(InputMode::MultipleChar); }
void TMainForm::DirectPasteClick() { chooseMode(InputMode::DirectPaste); }

void TMainForm::ClearClipboardClick() { m_model->clearClipboard(); }

void TMainForm::FindCharacterClick()
{
    if (!m_findWindow) {
        m_findWindow = m_find->make(m_state.ControlLanguage());
        connect(m_findWindow, &FindCharacterWindow::chosen, this,
                [this](const std::u16string &character) { guard(this, [&] { findResultChosen(character); }); });
        connect(m_findWindow, &FindCharacterWindow::keyMenuRequested, this,
                [this](const std::u16string &character, QPoint at) { keyMenu(character, at, false); });
        m_findWindow->setDragData([this](std::u16string_view character) { return m_model->dragData(character); });
    }
    m_find->open(windowFlags() & Qt::WindowStaysOnTopHint);
}

void TMainForm::Button1Click(KeyButton *key)
{
    if (m_typing->isOn())
        m_typing->type(m_model->typeClick(key->character()));
    else
        m_model->click(key->character());
}

void TMainForm::removeLastCharacter() { m_model->removeLastCharacter(); }
void TMainForm::placeCollection() { m_model->placeCollection(); }
void TMainForm::clearCollection() { m_model->clearCollection(); }

void TMainForm::showCollection()
{
    const bool collecting = m_state.Output().Mode() == InputMode::MultipleChar;
    m_removeLast->setEnabled(collecting);
    m_clearCollection->setEnabled(collecting);
    if (m_client->showCollection(qs(m_state.collection()), collecting))
        PaintKeys();
}

void TMainForm::findResultChosen(const std::u16string &character)
{
    if (!m_typing->isOn()) {
        m_model->click(character);
        return;
    }
    m_find->typeBack(m_model->typeClick(character));
}

void TMainForm::keyMenu(const std::u16string &character, QPoint globalPos, bool onPad)
{
    std::function<void()> remove;
    if (onPad && m_state.showsMyCharacters())
        remove = [this, character] { guard(this, [&] { removeFromMyCharacters(character); }); };
    showKeyMenu(this, globalPos, m_state.ControlLanguage(),
                [this, character] { guard(this, [&] { addToMyCharacters(character); }); }, remove);
}

void TMainForm::addToMyCharacters(const std::u16string &character) { m_model->addToMyCharacters(character); }
void TMainForm::removeFromMyCharacters(const std::u16string &character) { m_model->removeFromMyCharacters(character); }

} // namespace umbrill

