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
#include "ui/platform/desktop.h"
#include "ui/platform/typeintowindow.h"
#include "ui/windows/collectionstrip.h"
#include "ui/windows/noticeline.h"
#include "ui/windows/padarea.h"
#include "ui/windows/padcommands.h"
#include "ui/windows/padkeys.h"
#include "ui/windows/windowplace.h"

#include <QLabel>
#include <QMenu>

namespace umbrill {

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent), m_model(new PadModel(GetProgramDir(), this)), m_state(m_model->state()),
      m_commands(new PadCommands(*this, *m_model))
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
    PadCommands *commands = m_commands;
    connect(m_strip, &CollectionStrip::placeRequested, this, [this] { guard(this, [this] { m_commands->placeCollection(); }); });
    connect(m_strip, &CollectionStrip::clearRequested, this, [this] { guard(this, [this] { m_commands->clearCollection(); }); });
    connect(m_keys, &PadKeys::clicked, this,
            [this](KeyButton *key) { guard(this, [&] { m_commands->Button1Click(key->character()); }); });
    connect(m_keys, &PadKeys::menuRequested, commands,
            [commands](KeyButton *key, QPoint at) { commands->keyMenu(key->character(), at, true); });
    m_keys->setDragData([this](std::u16string_view character) { return m_model->dragData(character); });
    m_place = new WindowPlace(*this, *m_model);
    m_model->storeWhenShown(*this);
    buildMenus();
    keepFollowingDesktop(*this, *m_hint);
    applyMainStrings(kMainFormDefault, interfaceLanguages().front());
    m_notice = new NoticeLine(*this);
    connect(&m_commands->typing(), &TypeIntoWindow::notice, m_notice, &NoticeLine::say);

    // The window redraws what the model announces.
    connect(m_model, &PadModel::languageSetAside, this, &TMainForm::setLanguageAside);
    connect(m_model, &PadModel::languageNamed, this, &TMainForm::showLanguageName);
    connect(m_model, &PadModel::languageLoaded, this, &TMainForm::showKeys);
    connect(m_model, &PadModel::collectionChanged, this, &TMainForm::showCollection);
    connect(m_model, &PadModel::optionsChanged, this, [this] {
        showCollection();
        PaintKeys();
    });
    connect(m_model, &PadModel::keyFontChanged, this, &TMainForm::PaintKeys);
    connect(m_model, &PadModel::keepOnTopChanged, this, &TMainForm::keepOnTop);
    connect(m_model, &PadModel::interfaceLanguageRead, this,
            [this](const std::string &controlLanguage) { showOwnTexts(controlLanguage); });
    connect(m_model, &PadModel::interfaceLanguageChanged, this,
            [this](const std::string &controlLanguage) { showOwnTexts(controlLanguage); });
    connect(m_model, &PadModel::typingChanged, this, [this] {
        for (KeyButton *key : m_keys->keys())
            m_commands->typing().prepareKey(key);
    });

    FormCreate();
}

void TMainForm::buildMenus()
{
    PadCommands *commands = m_commands;
    setupMenus(*this, commands->typing().action());
    connect(m_modeMenu, &QMenu::aboutToShow, &commands->typing(), &TypeIntoWindow::probe);
    const std::pair<QAction *, void (PadCommands::*)()> items[] = {
        {m_singleChar, &PadCommands::SingleCharClick},   {m_multipleChar, &PadCommands::MultipleCharClick},
        {m_directPaste, &PadCommands::DirectPasteClick}, {m_clearClipboard, &PadCommands::ClearClipboardClick},
        {m_findCharacter, &PadCommands::FindCharacterClick}, {m_font, &PadCommands::FontClick},
        {m_options, &PadCommands::Options1Click},       {m_keepOnTop, &PadCommands::KeeponTopClick},
        {m_exit, &PadCommands::ExitClick},              {m_language, &PadCommands::LanguageClick},
        {m_helpItem, &PadCommands::HelpMenuIItemClick}, {m_aboutItem, &PadCommands::AboutMenuItemClick},
        {m_removeLast, &PadCommands::removeLastCharacter}, {m_clearCollection, &PadCommands::clearCollection}};
    for (const auto &[item, call] : items)
        connect(item, &QAction::triggered, this, [this, commands, command = call] { guard(this, [&] { (commands->*command)(); }); });
}

TMainForm::~TMainForm() = default;

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
}

void TMainForm::CheckForIniFile()
{
    if (!m_commands->checkForIniFile()) {
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
    if (FindCharacterWindow *find = m_commands->findWindow()) {
        find->setStrings(language.Find);
        find->setSearchLanguage(language.SearchWords);
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
    m_commands->typing().setLanguage(texts.Name);
}

void TMainForm::showOwnTexts(std::string_view controlLanguage)
{
    if (const InterfaceTexts *texts = matchInterfaceTexts(controlLanguage))
        showTexts(*texts);
}

void TMainForm::restoreRemembered()
{
    m_commands->restoreStart();
    m_place->restore(m_state.remembered(kWindowPosition));
}

void TMainForm::setLanguageAside()
{
    ClearButtonList();
    PaintKeys();
    setWindowTitle(m_baseCaption);
    setFontEnabled(false);
}

void TMainForm::showLanguageName(const std::string &name)
{
    setFontEnabled(false);
    ClearButtonList();
    setWindowTitle(qs(name) + QLatin1Char(' ') + m_baseCaption);
    setApplicationTitle(qs(name));
}

void TMainForm::showKeys()
{
    m_client->makeKeys(m_state, m_client->room(*this), m_commands->typing());
    PaintKeys();
    setFontEnabled(true);
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

void TMainForm::keepOnTop(bool onTop)
{
    m_commands->desktop().keepOnTop(*this, onTop);
    m_keepOnTop->setChecked(onTop);
}

void TMainForm::showCollection()
{
    const InputMode mode = m_state.Output().Mode();
    m_singleChar->setChecked(mode == InputMode::SingleChar);
    m_multipleChar->setChecked(mode == InputMode::MultipleChar);
    m_directPaste->setChecked(mode == InputMode::DirectPaste);
    const bool collecting = mode == InputMode::MultipleChar;
    m_removeLast->setEnabled(collecting);
    m_clearCollection->setEnabled(collecting);
    if (m_client->showCollection(qs(m_state.collection()), collecting))
        PaintKeys();
}

} // namespace umbrill
