// The pad's state, announcing its changes.
#include "ui/common/padmodel.h"

#include "ui/common/clipboardadapter.h"

#include <QScopeGuard>

namespace umbrill {

PadModel::PadModel(const std::filesystem::path &programDir, QObject *parent)
    : QObject(parent), m_state(programDir), m_clipboard(std::make_unique<ClipboardAdapter>())
{
}

PadModel::~PadModel() = default;

void PadModel::setClipboard(std::unique_ptr<ClipboardSink> clipboard) { m_clipboard = std::move(clipboard); }

void PadModel::loadLanguage(const std::string &name, const ShowLanguage &show)
{
    m_state.GetLanguageData(name, show);
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
        switch (mode) {
        case InputMode::SingleChar:
            m_state.rememberMode(mode);
            m_state.SingleCharClick(*m_clipboard);
            break;
        case InputMode::MultipleChar:
            m_state.rememberMode(mode);
            m_state.MultipleCharClick(*m_clipboard);
            break;
        case InputMode::DirectPaste:
            m_state.DirectPasteClick(*m_clipboard);
            break;
        }
    });
}

void PadModel::click(std::u16string_view character)
{
    changeCollection([&] { m_state.Button1Click(character, *m_clipboard); });
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
    m_state.rememberTypeIntoWindow(on);
}

} // namespace umbrill
