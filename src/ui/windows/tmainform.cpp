// The main window.
#include "ui/windows/tmainform.h"

#include "core/interface/interfacestrings.h"
#include "core/keypad/clipboardpayload.h"
#include "core/keypad/keygrid.h"
#include "core/names/charnames.h"
#include "core/settings/settingnames.h"
#include "ui/common/clipboardadapter.h"
#include "ui/windows/collectionstrip.h"
#include "ui/common/desktoppalette.h"
#include "ui/platform/x11focus.h"
#include "ui/common/guard.h"
#include "ui/keys/keyinfo.h"
#include "ui/common/qtext.h"
#include "ui/common/shell.h"
#include "ui/dialogs/findcharacterwindow.h"
#include "ui/dialogs/tabout.h"
#include "ui/dialogs/tlanguagedlg.h"
#include "ui/dialogs/toptionsform.h"
#include "ui/platform/typeintowindow.h"

#include <QAccessible>
#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QFontDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace umbrill {

TMainForm::TMainForm(QWidget *parent) : QMainWindow(parent), m_state(GetProgramDir())
{
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(qs(kMainCaption));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
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
    m_findCharacter = addItem(m_modeMenu, "FindCharacter", &TMainForm::FindCharacterClick);
    m_findCharacter->setShortcut(QKeySequence::Find);
    m_font = addItem(m_modeMenu, "Font", &TMainForm::FontClick);
    m_options = addItem(m_modeMenu, "Options1", &TMainForm::Options1Click);
    m_keepOnTop = addItem(m_modeMenu, "KeeponTop", &TMainForm::KeeponTopClick);
    m_exit = addItem(m_modeMenu, "Exit", &TMainForm::ExitClick);
    m_typing = new TypeIntoWindow(*this, m_state);
    m_modeMenu->insertAction(m_clearClipboard, m_typing->action());
    connect(m_modeMenu, &QMenu::aboutToShow, m_typing, &TypeIntoWindow::probe);
    connect(m_typing, &TypeIntoWindow::notice, this, &TMainForm::showNotice);
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
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("ClientArea"));
    setCentralWidget(m_client);
    m_hint = new QLabel(m_client);
    m_hint->setObjectName(QStringLiteral("EmptyPadHint"));
    m_hint->setAlignment(Qt::AlignCenter);
    auto *hintLayout = new QVBoxLayout(m_client); // the keys are placed by hand, the hint and strip by this
    hintLayout->setContentsMargins(0, 0, 0, 0);
    hintLayout->setSpacing(0);
    hintLayout->addWidget(m_hint, 1);
    m_strip = new CollectionStrip(m_client);
    m_strip->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    m_strip->hide();
    hintLayout->addWidget(m_strip, 0, Qt::AlignBottom);
    connect(m_strip, &CollectionStrip::placeRequested, this, [this] { guard(this, [this] { placeCollection(); }); });
    connect(m_strip, &CollectionStrip::clearRequested, this, [this] { guard(this, [this] { clearCollection(); }); });
    m_removeLast = addItem(nullptr, "RemoveLastCharacter", &TMainForm::removeLastCharacter);
    m_removeLast->setShortcut(Qt::Key_Backspace);
    m_clearCollection = addItem(nullptr, "ClearCollection", &TMainForm::clearCollection);
    m_clearCollection->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Backspace));
    addActions({m_removeLast, m_clearCollection});
    m_removeLast->setEnabled(false);
    m_clearCollection->setEnabled(false);
    followDesktopPalette();
    applyMainStrings(kMainFormDefault, interfaceLanguages().front());

    // Over the bottom of the keys for a few seconds; clicks go through it.
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("TypingNotice"));
    m_notice->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_notice->setAutoFillBackground(true);
    m_notice->setWordWrap(true);
    m_notice->hide();
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(6000);
    connect(m_noticeTimer, &QTimer::timeout, m_notice, &QWidget::hide);

    m_positionSaver = new QTimer(this);
    m_positionSaver->setSingleShot(true);
    m_positionSaver->setInterval(500);
    connect(m_positionSaver, &QTimer::timeout, this, [this] { m_state.savePosition(); });
    // Recent is stored a few seconds after a click, never on the click itself.
    m_recentSaver = new QTimer(this);
    m_recentSaver->setSingleShot(true);
    m_recentSaver->setInterval(3000);
    connect(m_recentSaver, &QTimer::timeout, this, [this] { m_state.saveRecent(); });

    chooseFont = [this](const QFont &initial) {
        bool ok = false;
        const QFont font = QFontDialog::getFont(&ok, initial, this);
        return ok ? font : initial;
    };
    confirm = [this](const QString &question) {
        QMessageBox box(QMessageBox::Question, qs(kConfirmTitle), question, QMessageBox::NoButton, boxParent(this));
        box.setObjectName(QStringLiteral("ConfirmBox"));
        QAbstractButton *yes = box.addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.exec();
        return box.clickedButton() == yes;
    };
    m_clipboard = std::make_unique<ClipboardAdapter>();

    FormCreate();
}

TMainForm::~TMainForm()
{
    // A pad that never showed still stores what a first start stores.
    try {
        m_state.storeStartup();
    } catch (...) {
        // nobody is left to tell
    }
}

QAction *TMainForm::addItem(QMenu *menu, const char *name, void (TMainForm::*handler)())
{
    auto *action = new QAction(this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [this, handler] { guard(this, [&] { (this->*handler)(); }); });
    if (menu)
        menu->addAction(action);
    return action;
}

TAbout *TMainForm::aboutBox()
{
    if (!m_about) {
        m_about = new TAbout(this);
        if (const InterfaceTexts *texts = matchInterfaceTexts(m_dialogLanguage))
            m_about->showTexts(*texts, m_state.UnicodeEnabled());
    }
    return m_about;
}

// A dialog's report runs the state's rules; their error shows over the dialog.
TLanguageDlg *TMainForm::languageDlg()
{
    if (!m_languageDlg) {
        auto *dialog = new TLanguageDlg(this);
        if (const InterfaceTexts *texts = matchInterfaceTexts(m_dialogLanguage))
            dialog->showTexts(*texts);
        connect(dialog, &TLanguageDlg::languageConfirmed, this,
                [this, dialog](int position, const std::optional<std::string> &name) {
                    if (guard(dialog, [&] { confirmLanguage(position, name); }) && name)
                        dialog->accept();
                });
        connect(dialog, &TLanguageDlg::cancelled, this, [this] { setFontEnabled(false); });
        m_languageDlg = dialog;
    }
    return m_languageDlg;
}

TOptionsForm *TMainForm::optionsForm()
{
    if (!m_optionsForm) {
        auto *dialog = new TOptionsForm(this);
        if (const InterfaceTexts *texts = matchInterfaceTexts(m_dialogLanguage))
            dialog->showTexts(*texts);
        connect(dialog, &TOptionsForm::interfaceLanguagePicked, this, [this, dialog](const std::string &language) {
            guard(dialog, [&] { interfaceLanguagePicked(language); });
        });
        connect(dialog, &TOptionsForm::cancelled, this, [this, dialog] { guard(dialog, [this] { optionsCancelled(); }); });
        connect(dialog, &TOptionsForm::chosen, this, [this, dialog](const OptionsChoice &choice) {
            if (guard(dialog, [&] { optionsChosen(choice); }))
                dialog->accept();
        });
        m_optionsForm = dialog;
    }
    return m_optionsForm;
}

void TMainForm::setClipboard(std::unique_ptr<ClipboardSink> clipboard) { m_clipboard = std::move(clipboard); }

void TMainForm::FormCreate()
{
    setFixedSize(200, 200);
    m_font->setVisible(false);
    BaseCaption = windowTitle();
    m_directPaste->setEnabled(false);
    m_directPaste->setVisible(false);
    ButtonList.clear();
    guard(this, [this] { CheckForIniFile(); });
    m_dialogLanguage = m_state.ControlLanguage();
}

void TMainForm::CheckForIniFile()
{
    if (!m_state.CheckForIniFile()) {
        QMessageBox box(QMessageBox::Information, qs(kInformationTitle), qs(kMissingDataFileMessage),
                        QMessageBox::Ok, boxParent(this));
        box.setObjectName(QStringLiteral("MissingDataFileBox"));
        box.exec();
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
    const InterfaceTexts *texts = matchInterfaceTexts(controlLanguage);
    if (!texts)
        return;
    m_dialogLanguage = controlLanguage;
    showTexts(*texts);
    if (m_optionsForm)
        m_optionsForm->showTexts(*texts);
    if (m_about)
        m_about->showTexts(*texts, m_state.UnicodeEnabled());
    if (m_languageDlg)
        m_languageDlg->showTexts(*texts);
}

ShowLanguage TMainForm::showLanguage()
{
    return [this](const std::string &controlLanguage) { applyInterfaceLanguageToAll(controlLanguage); };
}

OptionsChoice TMainForm::optionsOpening() { return m_state.openOptions(); }

void TMainForm::interfaceLanguagePicked(const std::string &controlLanguage)
{
    m_state.pickControlLanguage(controlLanguage, showLanguage());
}

void TMainForm::optionsCancelled() { m_state.cancelOptions(showLanguage()); }

void TMainForm::optionsChosen(const OptionsChoice &choice)
{
    m_state.storeOptions(choice, showLanguage());
    showCollection();
    PaintKeys();
}

void TMainForm::confirmLanguage(int position, const std::optional<std::string> &name)
{
    setFontEnabled(false);
    m_state.setLanguageIndex(name ? position : -1);
    if (!name)
        return;
    ClearButtonList();
    SetLanguage(*name);
    m_state.rememberLanguage(*name);
    GetLanguageData(*name);
    setFontEnabled(true);
}

void TMainForm::restoreRemembered()
{
    const Remembered last = m_state.readRemembered();
    m_state.loadRecent(last.recent);
    if (last.keepOnTop && !*last.keepOnTop) {
        setWindowFlag(Qt::WindowStaysOnTopHint, false);
        m_keepOnTop->setChecked(false);
    }
    if (last.mode) {
        m_state.restoreMode(*last.mode);
        setModeChecks(*last.mode == InputMode::SingleChar, *last.mode == InputMode::MultipleChar, false);
        showCollection();
    }
    if (last.typeIntoWindow.value_or(false))
        m_typing->setOn(true);
    if (last.language) {
        const std::string name = m_state.rememberedLanguageName(*last.language);
        if (const auto position = m_state.catalogueIndex(name))
            guard(this, [&] { confirmLanguage(*position, name); });
    }
    // Back on the screen its centre lies on; where nothing was remembered, or
    // that screen has gone: centred.
    std::optional<KeyPlacement> place;
    const QSize frame = frameGeometry().size();
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect area = screen->availableGeometry();
        if (last.position && !place)
            place = placeBackOnScreen(*last.position, {frame.width(), frame.height()},
                                      {area.x(), area.y(), area.width(), area.height()});
    }
    if (place)
        move(place->left, place->top);
    else
        centreOnScreen(this);
    keepOnScreen();
}

void TMainForm::updateHint() { m_hint->setVisible(ButtonList.isEmpty()); }

void TMainForm::keepOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect frame = frameGeometry();
    const QRect area = screen->availableGeometry();
    const KeyPlacement to = placeOnScreen({frame.x(), frame.y(), frame.width(), frame.height()},
                                          {area.x(), area.y(), area.width(), area.height()});
    if (to.left != frame.x() || to.top != frame.y())
        move(to.left, to.top);
}

void TMainForm::moveEvent(QMoveEvent *event)
{
    QMainWindow::moveEvent(event);
    if (isVisible() && !isMinimized()) {
        m_state.notePosition({x(), y()});
        m_positionSaver->start();
    }
}

void TMainForm::paintEvent(QPaintEvent *event)
{
    QMainWindow::paintEvent(event);
    if (m_painted)
        return;
    m_painted = true;
    // Once this paint has reached the screen.
    QTimer::singleShot(0, this, [this] { guard(this, [this] { m_state.storeStartup(); }); });
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    guard(this, [this] { m_state.storeStartup(); });
    m_recentSaver->stop();
    m_positionSaver->stop();
    m_state.savePending();
    QMainWindow::closeEvent(event);
}

void TMainForm::SetLanguage(const std::string &name)
{
    m_state.SetLanguage(name);
    setWindowTitle(qs(name) + QLatin1Char(' ') + BaseCaption);
    setApplicationTitle(qs(name));
}

void TMainForm::GetLanguageData(const std::string &name)
{
    // Loading shows the stored interface language in this window only.
    m_state.GetLanguageData(name, [this](const std::string &language) { showOwnTexts(language); });
    for (std::int32_t code : m_state.CurrentLanguage().KeyCodes)
        CreateNewButton(code);
    updateHint();
    PaintKeys();
}

void TMainForm::ClearButtonList()
{
    for (KeyButton *key : std::as_const(ButtonList)) {
        key->hide();
        key->deleteLater();
    }
    ButtonList.clear();
    updateHint();
}

void TMainForm::CreateNewButton(std::int32_t code)
{
    auto *key = new KeyButton(code, m_client);
    key->setObjectName(QStringLiteral("Key%1").arg(ButtonList.size() + 1));
    // Only the size a key is made with: every layout sets it again to the pitch.
    const LanguageRecord &language = m_state.CurrentLanguage();
    const QSize area = gridArea();
    const int size = m_state.fittedGrid(static_cast<int>(language.KeyCodes.size()), area.width(), area.height()).keySize;
    key->resize(size, size);
    QFont font(qs(language.KeyFontName));
    if (language.KeyFontSize > 0)
        font.setPointSize(std::min(language.KeyFontSize, 400));
    key->setFont(font);
    connect(key, &QPushButton::clicked, this, [this, key] { guard(this, [&] { Button1Click(key); }); });
    m_typing->prepareKey(key);
    connect(key, &KeyButton::moveRequested, this, [this, key](GridMove move) { moveFocusFrom(key, move); });
    connect(key, &KeyButton::menuRequested, this, [this, key](QPoint at) { keyMenu(key, at, true); });
    key->show();
    // Tab goes through the keys first, then to the strip.
    setTabOrder(key, m_strip);
    ButtonList.append(key);
}

QSize TMainForm::gridArea() const
{
    const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1920, 1080);
    // The frame the window manager adds (title bar, borders) takes room too.
    const QSize frame = frameGeometry().size() - geometry().size();
    return {screen.width() - frame.width(),
            screen.height() - frame.height() - menuBar()->sizeHint().height() - stripHeight()};
}

void TMainForm::PaintKeys()
{
    if (m_state.CurrentLanguage().LanguageName.empty())
        return;
    const int keyCount = static_cast<int>(ButtonList.size());
    const QSize area = gridArea();
    const FittedGrid grid = m_state.layOut(keyCount, area.width(), area.height());
    m_keysPerRow = grid.keysPerRow;
    for (int k = 0; k < keyCount; ++k) {
        const KeyPlacement place = placeKey(k, grid.keysPerRow, grid.keySize);
        // Keys take the pitch too, so that a smaller key size never overlaps them.
        ButtonList[k]->setGeometry(place.left, place.top, grid.keySize, grid.keySize);
    }
    const GridSize client = gridSize(keyCount, grid.keysPerRow, grid.keySize);
    setClientSize(client.width, client.height);
}

void TMainForm::moveFocusFrom(KeyButton *key, GridMove move)
{
    const int keyCount = static_cast<int>(ButtonList.size());
    const int target = moveOnGrid(static_cast<int>(ButtonList.indexOf(key)), move, keyCount, m_keysPerRow);
    if (target >= 0 && target < keyCount)
        ButtonList[target]->setFocus(Qt::OtherFocusReason);
}

void TMainForm::setClientSize(int width, int height)
{
    width = std::max(width, 0);
    height = std::max(height, 0);
    height += stripHeight();
    if (m_client->width() == width && m_client->height() == height && this->width() == width
        && this->height() == height + menuBar()->sizeHint().height())
        return;
    m_client->setFixedSize(width, height);
    setFixedSize(width, height + menuBar()->sizeHint().height());
    keepOnScreen();
}

void TMainForm::showNotice(const QString &text)
{
    m_notice->setText(text);
    const int height = std::min(m_notice->heightForWidth(width()), this->height());
    m_notice->setGeometry(0, this->height() - height, width(), height);
    m_notice->show();
    m_notice->raise();
    m_noticeTimer->start();
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
    TLanguageDlg *dialog = languageDlg();
    dialog->ConvertCSVtoStrings(m_state.GetLanguages());
    dialog->selectRow(m_state.LanguageIndex());
    dialog->exec();
}

void TMainForm::FontClick()
{
    const LanguageRecord &language = m_state.CurrentLanguage();
    QFont initial(qs(language.KeyFontName));
    if (language.KeyFontSize > 0)
        initial.setPointSize(language.KeyFontSize);
    const QFont chosen = chooseFont(initial);
    m_state.applyKeyFont(utf8(chosen.family()), chosen.pointSize(), screen() ? screen()->logicalDotsPerInchY() : 96.0);
    PaintKeys();
    const auto question = fontQuestion(m_state.ControlLanguage());
    if (!question || !confirm(qs(*question)))
        return;
    m_state.writeKeyFontEntry();
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
    m_state.rememberKeepOnTop(onTop);
    keepFindOnTop();
}

void TMainForm::keepFindOnTop()
{
    const bool onTop = windowFlags() & Qt::WindowStaysOnTopHint;
    if (!m_findWindow || bool(m_findWindow->windowFlags() & Qt::WindowStaysOnTopHint) == onTop)
        return;
    const bool wasVisible = m_findWindow->isVisible();
    m_findWindow->setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (wasVisible)
        m_findWindow->show();
}

void TMainForm::ExitClick() { close(); }

void TMainForm::HelpMenuIItemClick()
{
    std::error_code ec;
    const std::filesystem::path help = m_state.HelpFileName();
    const bool present = std::filesystem::exists(help, ec);
    if (present && ShellOpen(fileUrl(help))) {
        showMinimized();
        return;
    }
    // No program to open it with: said like a missing document, and the pad stays.
    const std::string_view message =
        present ? helpUnopenedMessage(m_state.ControlLanguage()) : helpMissingMessage(m_state.ControlLanguage());
    QMessageBox box(QMessageBox::Information, qs(kInformationTitle), qs(message), QMessageBox::Ok, boxParent(this));
    box.setObjectName(present ? QStringLiteral("UnopenedHelpBox") : QStringLiteral("MissingHelpBox"));
    box.exec();
}

void TMainForm::AboutMenuItemClick() { aboutBox()->exec(); }

void TMainForm::Options1Click()
{
    TOptionsForm *dialog = optionsForm();
    // A settings read that fails throws before the dialog is shown.
    const OptionsChoice choice = optionsOpening();
    dialog->Options1Click(choice, m_state.UnicodeEnabled());
}

void TMainForm::setModeChecks(bool single, bool multiple, bool direct)
{
    m_singleChar->setChecked(single);
    m_multipleChar->setChecked(multiple);
    m_directPaste->setChecked(direct);
}

void TMainForm::SingleCharClick()
{
    const auto show = qScopeGuard([this] { showCollection(); });
    setModeChecks(true, false, false);
    m_state.rememberMode(InputMode::SingleChar);
    m_state.SingleCharClick(*m_clipboard);
}

void TMainForm::MultipleCharClick()
{
    const auto show = qScopeGuard([this] { showCollection(); });
    setModeChecks(false, true, false);
    m_state.rememberMode(InputMode::MultipleChar);
    m_state.MultipleCharClick(*m_clipboard);
}

void TMainForm::DirectPasteClick()
{
    const auto show = qScopeGuard([this] { showCollection(); });
    setModeChecks(false, false, true);
    m_state.DirectPasteClick(*m_clipboard);
}

void TMainForm::ClearClipboardClick() { m_state.ClearClipboardClick(*m_clipboard); }

void TMainForm::FindCharacterClick()
{
    if (!m_findWindow) {
        m_findWindow = new FindCharacterWindow(this);
        m_findWindow->setStrings(findStrings(m_state.ControlLanguage()));
        const InterfaceTexts *texts = matchInterfaceTexts(m_state.ControlLanguage());
        m_findWindow->setSearchLanguage(texts ? texts->SearchWords : std::nullopt);
        if (const auto size = m_state.rememberedFindSize()) {
            // Bounded by the screen it comes back on: a damaged or outgrown
            // size never makes a window larger than the screen.
            const QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 768);
            const QSize least = m_findWindow->minimumSizeHint();
            const GridSize fitted = sizeOnScreen(*size, {least.width(), least.height()},
                                                 {area.x(), area.y(), area.width(), area.height()});
            m_findWindow->resize(fitted.width, fitted.height);
        }
        connect(m_findWindow, &FindCharacterWindow::chosen, this,
                [this](KeyButton *key) { guard(this, [&] { findResultChosen(key); }); });
        connect(m_findWindow, &FindCharacterWindow::keyMenuRequested, this,
                [this](KeyButton *key, QPoint at) { keyMenu(key, at, false); });
        connect(m_findWindow, &FindCharacterWindow::closed, this, [this] {
            m_state.rememberFindSize({m_findWindow->width(), m_findWindow->height()});
        });
    }
    // The window the user is writing in, for typing into it from Find.
    if (!m_findWindow->isActiveWindow())
        m_focusBeforeFind = x11focus::focusedWindow();
    // The results take the pad's key font, as a language last set it.
    const LanguageRecord &language = m_state.CurrentLanguage();
    QFont font = m_findWindow->font();
    if (!language.KeyFontName.empty())
        font.setFamily(qs(language.KeyFontName));
    if (language.KeyFontSize > 0)
        font.setPointSize(std::min(language.KeyFontSize, 72));
    m_findWindow->setKeyFont(font, std::clamp(m_state.KeySize(), kKeySizeMinimum, kKeySizeMaximum));
    keepFindOnTop();
    m_findWindow->show();
    m_findWindow->raise();
    m_findWindow->activateWindow();
    m_findWindow->searchField()->setFocus(Qt::ShortcutFocusReason);
    m_findWindow->searchField()->selectAll();
}

void TMainForm::Button1Click(KeyButton *key)
{
    // Also when the clipboard refuses: the collection has grown all the same.
    const auto show = qScopeGuard([this] { showCollection(); });
    if (m_typing->isOn())
        m_typing->type(m_state.typeClick(key->character()));
    else
        m_state.Button1Click(key->character(), *m_clipboard);
    storeRecentSoon();
}

void TMainForm::removeLastCharacter()
{
    const auto show = qScopeGuard([this] { showCollection(); });
    m_state.removeLastCharacter(*m_clipboard);
}

void TMainForm::placeCollection() { m_state.placeCollection(*m_clipboard); }

void TMainForm::clearCollection()
{
    const auto show = qScopeGuard([this] { showCollection(); });
    m_state.clearCollection(*m_clipboard);
}

void TMainForm::showCollection()
{
    const bool collecting = m_state.Output().Mode() == InputMode::MultipleChar;
    m_strip->setCollection(qs(m_state.collection()));
    m_removeLast->setEnabled(collecting);
    m_clearCollection->setEnabled(collecting);
    if (m_strip->isHidden() == collecting) {
        m_strip->setVisible(collecting);
        PaintKeys();
    }
}

int TMainForm::stripHeight() const { return m_strip->isHidden() ? 0 : m_strip->sizeHint().height(); }

void TMainForm::followDesktopPalette()
{
    // Setting the window's palette sends it a palette change again, at once.
    if (m_followingPalette)
        return;
    const QScopedValueRollback following(m_followingPalette, true);
    const QPalette desktop = QApplication::palette();
    const QPalette tips = toolTipPalette(desktop);
    if (tips.color(QPalette::ToolTipBase) != QToolTip::palette().color(QPalette::ToolTipBase))
        QToolTip::setPalette(tips);
    setPalette(pagePalette(desktop));
    QPalette placeholder;
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        placeholder.setColor(group, QPalette::WindowText, desktop.color(group, QPalette::PlaceholderText));
    m_hint->setPalette(placeholder);
}

void TMainForm::changeEvent(QEvent *event)
{
    // A window hears of a new desktop palette as a change of its own.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        followDesktopPalette();
    QMainWindow::changeEvent(event);
}

void TMainForm::storeRecentSoon()
{
    if (m_state.recentUnsaved() && !m_recentSaver->isActive())
        m_recentSaver->start();
}

void TMainForm::findResultChosen(KeyButton *key)
{
    if (!m_typing->isOn()) {
        Button1Click(key);
        return;
    }
    // Find holds the focus for its search field: the character goes to the
    // window the user was writing in once it is active again, never into Find.
    const unsigned long target = m_focusBeforeFind;
    if (!target)
        return;
    x11focus::activate(target);
    const std::u32string text = m_state.typeClick(key->character());
    storeRecentSoon();
    auto *wait = new QTimer(this);
    wait->setInterval(10);
    connect(wait, &QTimer::timeout, this, [this, wait, target, text, tries = 0]() mutable {
        const bool back = x11focus::focusedWindow() == target;
        if (back)
            m_typing->type(text);
        if (back || ++tries >= 50) {
            wait->stop();
            wait->deleteLater();
        }
    });
    wait->start();
}

void TMainForm::keyMenu(KeyButton *key, QPoint globalPos, bool onPad)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("KeyMenu"));
    const std::u16string character = key->character();
    const std::string &language = m_state.ControlLanguage();
    QAction *add = menu.addAction(qs(addToMyCharactersCaption(language)));
    add->setObjectName(QStringLiteral("AddToMyCharacters"));
    connect(add, &QAction::triggered, this, [this, character] { guard(this, [&] { addToMyCharacters(character); }); });
    if (onPad && m_state.showsMyCharacters()) {
        QAction *remove = menu.addAction(qs(removeFromMyCharactersCaption(language)));
        remove->setObjectName(QStringLiteral("RemoveFromMyCharacters"));
        connect(remove, &QAction::triggered, this,
                [this, character] { guard(this, [&] { removeFromMyCharacters(character); }); });
    }
    menu.exec(globalPos);
}

void TMainForm::addToMyCharacters(const std::u16string &character)
{
    if (m_state.addToMyCharacters(character) && m_state.showsMyCharacters())
        confirmLanguage(m_state.LanguageIndex(), std::string(kMyCharactersName));
}

void TMainForm::removeFromMyCharacters(const std::u16string &character)
{
    // The key goes: with it the menu that asked, so the pad is built again later.
    if (m_state.removeFromMyCharacters(character) && m_state.showsMyCharacters())
        QTimer::singleShot(0, this, [this] {
            guard(this, [this] { confirmLanguage(m_state.LanguageIndex(), std::string(kMyCharactersName)); });
        });
}

} // namespace umbrill

