// The pad's state, announcing its changes.
#include "ui/common/padmodel.h"

#include "ui/common/clipboardadapter.h"
#include "ui/common/guard.h"

#include <QScopeGuard>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace umbrill {

PadModel::PadModel(const std::filesystem::path &programDir, QObject *parent)
    : QObject(parent), m_state(programDir), m_clipboard(std::make_unique<ClipboardAdapter>()),
      m_recentSaver(new QTimer(this))
{
    // Recent is stored a few seconds after a click, never on the click itself.
    m_recentSaver->setSingleShot(true);
    m_recentSaver->setInterval(3000);
    connect(m_recentSaver, &QTimer::timeout, this, [this] { m_state.saveRecent(); });
}

PadModel::~PadModel()
{
    // A pad that never showed still stores what a first start stores.
    try {
        m_state.storeStartup();
    } catch (...) {
        // nobody is left to tell
    }
}

void PadModel::storeWhenShown(QWidget &window)
{
    m_window = &window;
    window.installEventFilter(this);
}

bool PadModel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return false;
    if (event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        // Once this paint has reached the screen.
        QTimer::singleShot(0, this, [this] { guard(m_window, [this] { m_state.storeStartup(); }); });
    } else if (event->type() == QEvent::Close) {
        guard(m_window, [this] { m_state.storeStartup(); });
        savePending();
    }
    return false;
}

void PadModel::setClipboard(std::unique_ptr<ClipboardSink> clipboard) { m_clipboard = std::move(clipboard); }

void PadModel::loadLanguage(const std::string &name)
{
    m_state.GetLanguageData(name, [this](const std::string &controlLanguage) { emit interfaceLanguageRead(controlLanguage); });
    emit languageLoaded();
}

template <class Change>
void PadModel::changeCollection(Change change)
{
    const auto announce = qScopeGuard([this] { emit collectionChanged(); });
    change();
}

void PadModel::chooseMode(InputMode mode)
{
    changeCollection([&] {
        m_state.remember(kInputMode, mode); // Direct Paste is not remembered
        if (mode == InputMode::SingleChar)
            m_state.SingleCharClick(*m_clipboard);
        else if (mode == InputMode::MultipleChar)
            m_state.MultipleCharClick(*m_clipboard);
        else
            m_state.DirectPasteClick(*m_clipboard);
    });
}

void PadModel::click(std::u16string_view character)
{
    changeCollection([&] { m_state.Button1Click(character, *m_clipboard); });
    storeRecentSoon();
}

QMimeData *PadModel::dragData(std::u16string_view character) const
{
    const LanguageRecord &language = m_state.CurrentLanguage();
    return toMimeData(
        clickPayload(character, m_state.PasteFormatCode(), KeyFont{language.KeyFontName, language.KeyFontSize}));
}

std::u32string PadModel::typeClick(std::u16string_view character)
{
    std::u32string text = m_state.typeClick(character);
    storeRecentSoon();
    return text;
}

void PadModel::storeRecentSoon()
{
    if (m_state.recentUnsaved() && !m_recentSaver->isActive())
        m_recentSaver->start();
}

void PadModel::savePending()
{
    m_recentSaver->stop();
    m_state.savePending();
}

void PadModel::removeLastCharacter()
{
    changeCollection([&] { m_state.removeLastCharacter(*m_clipboard); });
}

void PadModel::placeCollection() { m_state.placeCollection(*m_clipboard); }

void PadModel::clearCollection()
{
    changeCollection([&] { m_state.clearCollection(*m_clipboard); });
}

ShowLanguage PadModel::showLanguage()
{
    return [this](const std::string &controlLanguage) { emit interfaceLanguageChanged(controlLanguage); };
}

void PadModel::setTyping(bool on)
{
    emit typingChanged(on);
    m_state.setTyping(on);
}

std::string PadModel::nameLanguage(int position, const std::string &key)
{
    std::string shown = m_state.shownName(key);
    m_state.setLanguageIndex(position);
    m_state.SetLanguage(shown);
    m_state.remember(kLastLanguage, key);
    emit languageChanged();
    emit languageNamed(shown);
    return shown;
}

void PadModel::setLanguageIndex(int position)
{
    m_state.setLanguageIndex(position);
    emit languageChanged();
}

void PadModel::setLanguageName(const std::string &name)
{
    m_state.SetLanguage(name);
    emit languageChanged();
    emit languageNamed(name);
}

std::string PadModel::copyToOwnLanguages(const std::string &key)
{
    std::string name = m_state.copyToOwnLanguages(key);
    if (m_state.CurrentLanguage().LanguageName == name)
        if (const std::optional<int> position = m_state.catalogueIndex(name))
            m_state.setLanguageIndex(*position);
    emit languageChanged();
    return name;
}

void PadModel::pickControlLanguage(const std::string &controlLanguage)
{
    m_state.pickControlLanguage(controlLanguage, showLanguage());
}

void PadModel::cancelOptions() { m_state.cancelOptions(showLanguage()); }

void PadModel::storeOptions(const OptionsChoice &choice)
{
    m_state.storeOptions(choice, showLanguage());
    emit optionsChanged();
}

void PadModel::setUnicodeEnabled(bool enabled)
{
    m_state.setUnicodeEnabled(enabled);
    emit optionsChanged();
}

void PadModel::applyKeyFont(const std::string &face, std::int32_t points, double dotsPerInch)
{
    m_state.applyKeyFont(face, points, dotsPerInch);
    emit keyFontChanged();
}

void PadModel::setKeepOnTop(bool onTop)
{
    emit keepOnTopChanged(onTop);
    m_state.remember(kKeepOnTop, onTop);
}

void PadModel::notePosition(KeyPlacement position)
{
    m_state.notePosition(position);
    emit placeChanged(position);
}

std::optional<PadState::NamedLanguage> PadModel::restoreStart()
{
    if (m_state.remembered(kKeepOnTop) == false)
        emit keepOnTopChanged(false);
    std::optional<PadState::NamedLanguage> language = m_state.restoreStart();
    emit collectionChanged();
    if (language) {
        emit languageChanged();
        emit languageNamed(m_state.CurrentLanguage().LanguageName);
    }
    return language;
}

void PadModel::addToMyCharacters(const std::u16string &character)
{
    if (m_state.addToMyCharacters(character) && m_state.showsMyCharacters())
        emit myCharactersChanged();
}

void PadModel::removeFromMyCharacters(const std::u16string &character)
{
    // The key whose menu asked goes with the pad built again: later.
    if (m_state.removeFromMyCharacters(character) && m_state.showsMyCharacters())
        QTimer::singleShot(0, this, [this] { emit myCharactersChanged(); });
}

} // namespace umbrill
