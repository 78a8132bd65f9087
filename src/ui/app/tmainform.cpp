// The main window.
#include "ui/app/tmainform.h"

#include "core/interface/interfacestrings.h"
#include "core/keypad/clipboardpayload.h"
#include "core/keypad/keygrid.h"
#include "core/settings/profilefile.h"
#include "core/settings/settingsstore.h"
#include "core/text/commalist.h"
#include "ui/app/clipboardadapter.h"
#include "ui/app/guard.h"
#include "ui/app/interfacelanguage.h"
#include "ui/app/qtext.h"
#include "ui/app/shell.h"
#include "ui/dialogs/tabout.h"
#include "ui/dialogs/tlanguagedlg.h"
#include "ui/dialogs/toptionsform.h"

#include <QApplication>
#include <QFile>
#include <QFontDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>

#include <cmath>
#include <filesystem>

namespace umbrill {
namespace {

std::filesystem::path fsPath(const QString &path) { return std::filesystem::path(QFile::encodeName(path).toStdString()); }

} // namespace

KeyButton::KeyButton(std::int32_t code, QWidget *parent)
    : QPushButton(parent), m_code(code), m_character(keyCharacter(code))
{
    setText(qs(keyCaption(code)));
    setAccessibleName(qs(m_character));
    setAutoDefault(false);
    setCursor(Qt::PointingHandCursor);
}

void KeyButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
}

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(qs(kMainCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setPalette([] { QPalette p; p.setColor(QPalette::Window, Qt::white); return p; }());
    setAutoFillBackground(true);

    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("UmbrillMenu"));
    setMenuBar(bar);
    m_modeMenu = bar->addMenu(QString());
    m_modeMenu->setObjectName(QStringLiteral("ModeMenuItem"));
    m_singleChar = addItem(m_modeMenu, "SingleChar", &TMainForm::SingleCharClick);
    m_multipleChar = addItem(m_modeMenu, "MultipleChar", &TMainForm::MultipleCharClick);
    m_directPaste = addItem(m_modeMenu, "DirectPaste", &TMainForm::DirectPasteClick);
    m_clearClipboard = addItem(m_modeMenu, "ClearClipboard", &TMainForm::ClearClipboardClick);
    m_font = addItem(m_modeMenu, "Font", &TMainForm::FontClick);
    m_options = addItem(m_modeMenu, "Options1", &TMainForm::Options1Click);
    m_keepOnTop = addItem(m_modeMenu, "KeeponTop", &TMainForm::KeeponTopClick);
    m_exit = addItem(m_modeMenu, "Exit", &TMainForm::ExitClick);
    m_language = addItem(nullptr, "Language", &TMainForm::LanguageClick);
    bar->addAction(m_language);
    m_helpMenu = bar->addMenu(QString());
    m_helpMenu->setObjectName(QStringLiteral("Help"));
    m_helpItem = addItem(m_helpMenu, "HelpMenuIItem", &TMainForm::HelpMenuIItemClick);
    m_aboutItem = addItem(m_helpMenu, "AboutMenuItem", &TMainForm::AboutMenuItemClick);
    for (QAction *item : {m_singleChar, m_multipleChar, m_directPaste, m_keepOnTop})
        item->setCheckable(true);
    m_singleChar->setChecked(true);
    m_keepOnTop->setChecked(true);
    m_font->setEnabled(false);
    m_clearClipboard->setText(qs(kClearClipboardCaption));
    applyMainStrings(kMainFormDesign);

    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(m_client);

    chooseFont = [this](const QFont &initial) {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, this);
        return ok ? font : initial;
    };
    confirm = [this](const QString &question) {
        QMessageBox box(QMessageBox::Question, qs(kConfirmTitle), question, QMessageBox::NoButton, this);
        box.setObjectName(QStringLiteral("ConfirmBox"));
        QAbstractButton *yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.exec();
        return box.clickedButton() == yes;
    };
    m_clipboard = std::make_unique<ClipboardAdapter>();

    FormCreate();
}

TMainForm::~TMainForm() = default;

QAction *TMainForm::addItem(QMenu *menu, const char *name, void (TMainForm::*handler)())
{
    auto *action = new QAction(this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler] { guard(this, [&] { (this->*handler)(); }); });
    if (menu)
        menu->addAction(action);
    return action;
}

void TMainForm::setDialogs(TAbout *about, TLanguageDlg *languageDlg, TOptionsForm *optionsForm)
{
    m_about = about;
    m_languageDlg = languageDlg;
    m_optionsForm = optionsForm;
}

void TMainForm::setClipboard(std::unique_ptr<ClipboardSink> clipboard) { m_clipboard = std::move(clipboard); }

void TMainForm::FormCreate()
{
    setFixedSize(200, 200);
    m_font->setVisible(false);
    BaseCaption = windowTitle();
    Output.Mode = InputMode::SingleChar;
    PasteFormatCode = PasteFormat::PlainText;
    m_directPaste->setEnabled(false);
    m_directPaste->setVisible(false);
    UnicodeEnabled = true;
    CurrentLanguage.LanguageName.clear();
    LanguageIndex = 0;
    ControlLanguage = kControlLanguageDefault;
    ProgramDir = GetProgramDir();
    IniFileName = ProgramDir + qs(kDataFileName);
    HelpFileName = ProgramDir + qs(kHelpFileName);
    ButtonList.clear();
    guard(this, [this] { CheckForIniFile(); });
}

void TMainForm::CheckForIniFile()
{
    IniFileFound = true;
    if (!QFile::exists(IniFileName)) {
        QMessageBox box(QMessageBox::Information, qs(kInformationTitle), qs(kMissingDataFileMessage),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("MissingDataFileBox"));
        box.exec();
        IniFileFound = false;
        return;
    }
    ControlLanguage = ReadSetting(kSettingsSection, kControlLanguageKey, "");
    if (ControlLanguage.empty()) {
        ControlLanguage = kControlLanguageDefault;
        WriteSetting(kSettingsSection, kControlLanguageKey, ControlLanguage);
    }
    applyInterfaceLanguage(*this, ControlLanguage);
}

void TMainForm::applyMainStrings(const MainFormStrings &s)
{
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

void TMainForm::SetEnglish() { applyMainStrings(mainFormStrings(InterfaceLanguage::English)); }
void TMainForm::SetGerman() { applyMainStrings(mainFormStrings(InterfaceLanguage::German)); }
void TMainForm::SetFrench() { applyMainStrings(mainFormStrings(InterfaceLanguage::French)); }
void TMainForm::SetSpanish() { applyMainStrings(mainFormStrings(InterfaceLanguage::Spanish)); }

void TMainForm::applyInterfaceLanguageToAll(const std::string &controlLanguage)
{
    applyInterfaceLanguage(*this, controlLanguage);
    if (m_optionsForm)
        applyInterfaceLanguage(*m_optionsForm, controlLanguage);
    if (m_about)
        applyInterfaceLanguage(*m_about, controlLanguage);
    if (m_languageDlg)
        applyInterfaceLanguage(*m_languageDlg, controlLanguage);
}

void TMainForm::SetLanguage(const std::string &name)
{
    CurrentLanguage.LanguageName = name;
    setWindowTitle(qs(name) + QLatin1Char(' ') + BaseCaption);
    setApplicationTitle(qs(name));
}

std::string TMainForm::GetLanguages() const
{
    return readProfileString(fsPath(IniFileName), kDataSection, kLanguagesKey, kNotFound);
}

void TMainForm::GetLanguageData(const std::string &name)
{
    ControlLanguage = ReadSetting(kSettingsSection, kControlLanguageKey, kControlLanguageDefault);
    KeySize = lenientToInt(ReadSetting(kSettingsSection, kKeySizeKey, kKeySizeDefault));
    CurrentLanguage.PasteFormatName = ReadSetting(kSettingsSection, kPasteFormatKey, kPasteFormatDefault);
    CurrentLanguage.LanguageEntry = readProfileString(fsPath(IniFileName), kDataSection, name, kNotFound);
    applyInterfaceLanguage(*this, ControlLanguage);
    PasteFormatCode = pasteFormatFromName(CurrentLanguage.PasteFormatName);
    applyLanguageEntry(CurrentLanguage, CurrentLanguage.LanguageEntry);
    ChangeKeySize(keySizeForPoints(CurrentLanguage.KeyFontSize));
    for (std::int32_t code : CurrentLanguage.KeyCodes)
        CreateNewButton(code);
    PaintKeys();
}

void TMainForm::ClearButtonList()
{
    for (KeyButton *key : std::as_const(ButtonList)) {
        key->hide();
        key->deleteLater();
    }
    ButtonList.clear();
}

void TMainForm::CreateNewButton(std::int32_t code)
{
    auto *key = new KeyButton(code, m_client);
    key->setObjectName(QStringLiteral("Key%1").arg(ButtonList.size() + 1));
    const int size = fittedGrid(static_cast<int>(CurrentLanguage.KeyCodes.size())).keySize;
    key->setFixedSize(size, size);
    QFont font(qs(CurrentLanguage.KeyFontName));
    if (CurrentLanguage.KeyFontSize > 0)
        font.setPointSize(std::min(CurrentLanguage.KeyFontSize, 400));
    key->setFont(font);
    connect(key, &QPushButton::clicked, this, [this, key] { guard(this, [&] { Button1Click(key); }); });
    key->show();
    ButtonList.append(key);
}

FittedGrid TMainForm::fittedGrid(int keyCount) const
{
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1920, 1080);
    return fitGrid(keyCount, CurrentLanguage.KeysPerRow, KeySize, screen.width(),
                   screen.height() - menuBar()->sizeHint().height());
}

void TMainForm::ChangeKeySize(std::int32_t size) { KeySize = changedKeySize(KeySize, size); }

void TMainForm::PaintKeys()
{
    if (CurrentLanguage.LanguageName.empty())
        return;
    KeyCount = static_cast<int>(ButtonList.size());
    const FittedGrid grid = fittedGrid(KeyCount);
    for (int k = 0; k < KeyCount; ++k) {
        const KeyPlacement place = placeKey(k, grid.keysPerRow, grid.keySize);
        // Keys take the pitch too, so that a smaller key size never overlaps them.
        ButtonList[k]->setGeometry(place.left, place.top, grid.keySize, grid.keySize);
    }
    const GridSize client = gridSize(KeyCount, grid.keysPerRow, grid.keySize);
    setClientSize(client.width, client.height);
}

void TMainForm::setClientSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (m_client->width() == width && m_client->height() == height && this->width() == width)
        return;
    m_client->setFixedSize(width, height);
    setFixedSize(width, height + menuBar()->sizeHint().height());
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
    setWindowTitle(BaseCaption);
    setFontEnabled(false);
    if (IniFileFound)
        LanguagesText = GetLanguages();
    m_languageDlg->ConvertCSVtoStrings(LanguagesText);
    m_languageDlg->selectRow(LanguageIndex);
    m_languageDlg->exec();
}

void TMainForm::FontClick()
{
    QFont initial(qs(CurrentLanguage.KeyFontName));
    if (CurrentLanguage.KeyFontSize > 0)
        initial.setPointSize(CurrentLanguage.KeyFontSize);
    const QFont chosen = chooseFont(initial);
    const std::string face = utf8(chosen.family());
    if (face != CurrentLanguage.KeyFontName)
        CurrentLanguage.KeyFontName = face;
    if (chosen.pointSize() > 0 && chosen.pointSize() != CurrentLanguage.KeyFontSize)
        CurrentLanguage.KeyFontSize = chosen.pointSize();
    const qreal dpi = screen() ? screen()->logicalDotsPerInchY() : 96.0;
    const int points = chosen.pointSize() > 0 ? chosen.pointSize() : CurrentLanguage.KeyFontSize;
    ChangeKeySize(static_cast<std::int32_t>(std::lround(std::abs(points) * dpi / 72.0)));
    PaintKeys();
    const auto question = fontQuestion(ControlLanguage);
    if (!question || !confirm(qs(*question)))
        return;
    LanguageRecord written = CurrentLanguage;
    written.KeyCodes.resize(std::min<std::size_t>(written.KeyCodes.size(), static_cast<std::size_t>(KeyCount)));
    writeProfileString(fsPath(IniFileName), kDataSection, CurrentLanguage.LanguageName, writtenEntry(written));
}

void TMainForm::KeeponTopClick()
{
    const bool onTop = !(windowFlags() & Qt::WindowStaysOnTopHint);
    const bool wasVisible = isVisible();
    const QPoint position = pos();
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible) {
        move(position);
        show();
    }
    m_keepOnTop->setChecked(onTop);
}

void TMainForm::ExitClick() { close(); }

void TMainForm::HelpMenuIItemClick()
{
    if (QFile::exists(HelpFileName)) {
        ShellOpen(HelpFileName);
        showMinimized();
        return;
    }
    QMessageBox box(QMessageBox::Information, qs(kInformationTitle), qs(helpMissingMessage(ControlLanguage)),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("MissingHelpBox"));
    box.exec();
}

void TMainForm::AboutMenuItemClick() { m_about->exec(); }

void TMainForm::Options1Click() { m_optionsForm->Options1Click(); }

void TMainForm::setModeChecks(bool single, bool multiple, bool direct)
{
    m_singleChar->setChecked(single);
    m_multipleChar->setChecked(multiple);
    m_directPaste->setChecked(direct);
}

void TMainForm::SingleCharClick()
{
    setModeChecks(true, false, false);
    Output.SingleCharClick(*m_clipboard);
}

void TMainForm::MultipleCharClick()
{
    setModeChecks(false, true, false);
    Output.MultipleCharClick(*m_clipboard);
}

void TMainForm::DirectPasteClick()
{
    setModeChecks(false, false, true);
    Output.DirectPasteClick(*m_clipboard);
}

void TMainForm::ClearClipboardClick() { Output.ClearClipboardClick(*m_clipboard); }

void TMainForm::Button1Click(KeyButton *key)
{
    Output.Button1Click(key->character(), PasteFormatCode,
                        KeyFont{CurrentLanguage.KeyFontName, CurrentLanguage.KeyFontSize}, *m_clipboard);
}

} // namespace umbrill
