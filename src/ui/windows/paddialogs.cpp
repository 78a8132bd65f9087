// The pad's three dialogs.
#include "ui/windows/paddialogs.h"

#include "core/interface/interfacestrings.h"
#include "core/pad/padstate.h"
#include "ui/common/guard.h"
#include "ui/dialogs/tabout.h"
#include "ui/dialogs/tlanguagedlg.h"
#include "ui/dialogs/toptionsform.h"
#include "ui/windows/padcommands.h"

namespace umbrill {

TAbout *PadDialogs::about()
{
    if (!m_about) {
        m_about = new TAbout(&m_pad);
        if (const InterfaceTexts *texts = matchInterfaceTexts(m_language))
            m_about->showTexts(*texts, m_state.UnicodeEnabled());
    }
    return m_about;
}

TLanguageDlg *PadDialogs::languageDlg()
{
    if (!m_languageDlg) {
        auto *dialog = new TLanguageDlg(&m_pad);
        if (const InterfaceTexts *texts = matchInterfaceTexts(m_language))
            dialog->showTexts(*texts);
        PadCommands &pad = m_commands;
        QObject::connect(dialog, &TLanguageDlg::languageConfirmed, &pad,
                         [&pad, dialog](int position, const std::optional<std::string> &name) {
                             if (guard(dialog, [&] { pad.confirmLanguage(position, name); }) && name)
                                 dialog->accept();
                         });
        // Cancelled, the dialog leaves the pad as the Language command set it: no keys, no Font.
        QObject::connect(dialog, &TLanguageDlg::copyRequested, &pad, [&pad, dialog](const std::string &key) {
            guard(dialog, [&] { pad.copyToOwnLanguages(key); });
        });
        m_languageDlg = dialog;
    }
    return m_languageDlg;
}

TOptionsForm *PadDialogs::options()
{
    if (!m_options) {
        auto *dialog = new TOptionsForm(&m_pad);
        if (const InterfaceTexts *texts = matchInterfaceTexts(m_language))
            dialog->showTexts(*texts);
        PadCommands &pad = m_commands;
        QObject::connect(dialog, &TOptionsForm::interfaceLanguagePicked, &pad,
                         [&pad, dialog](const std::string &language) {
                             guard(dialog, [&] { pad.interfaceLanguagePicked(language); });
                         });
        QObject::connect(dialog, &TOptionsForm::cancelled, &pad,
                         [&pad, dialog] { guard(dialog, [&] { pad.optionsCancelled(); }); });
        QObject::connect(dialog, &TOptionsForm::chosen, &pad, [&pad, dialog](const OptionsChoice &choice) {
            if (guard(dialog, [&] { pad.optionsChosen(choice); }))
                dialog->accept();
        });
        m_options = dialog;
    }
    return m_options;
}

void PadDialogs::showTexts(const std::string &controlLanguage, const InterfaceTexts &texts)
{
    m_language = controlLanguage;
    if (m_options)
        m_options->showTexts(texts);
    if (m_about)
        m_about->showTexts(texts, m_state.UnicodeEnabled());
    if (m_languageDlg)
        m_languageDlg->showTexts(texts);
}

} // namespace umbrill
