// The Font command against an installed program folder whose data file cannot
// be written. The install test script installs the program, takes the write
// bits off the data file or its folder, and names the folder in
// UMBRILL_INSTALLED_PROGRAM_DIR. Yes then writes the entry into the user's own
// languages file, shows no error, and leaves the folder exactly as it was.
#include "../ui/uifixture.h"

#include "core/text/error.h"

#include <QAction>
#include <QCryptographicHash>
#include <QDirIterator>
#include <QFileInfo>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include <sys/stat.h>

namespace umbrill::test {
namespace {

// Every entry of a folder (hidden ones too) with its mode and a hash of its
// bytes.
QStringList folderState(const QString &folder)
{
    QStringList state;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString path = it.next();
        struct stat st {};
        ::lstat(QFile::encodeName(path).constData(), &st);
        QFile file(path);
        QByteArray hash;
        if (file.open(QIODevice::ReadOnly))
            hash = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
        state << QStringLiteral("%1 %2 %3").arg(it.fileName()).arg(st.st_mode, 0, 8).arg(QString::fromLatin1(hash));
    }
    state.sort();
    return state;
}

class InstalledDataFile : public UiFixture {
protected:
    InstalledDataFile() : m_folder(qEnvironmentVariable("UMBRILL_INSTALLED_PROGRAM_DIR")) {}
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.isEmpty()) << "UMBRILL_INSTALLED_PROGRAM_DIR names no program folder";
        ASSERT_TRUE(QFileInfo::exists(m_folder + QStringLiteral("/Umbrill05.ini"))) << m_folder.toStdString();
        overrideProgramDir(QFile::encodeName(m_folder).toStdString());
    }
    QString m_folder;
};

TEST_F(InstalledDataFile, FontYesWritesTheUsersOwnFileAndChangesNoShippedFile)
{
    const QStringList before = folderState(m_folder);
    TMainForm &form = start().mainForm;
    ASSERT_TRUE(form.state().IniFileFound());
    const QString dataFile = displayPath(form.state().IniFileName());
    EXPECT_EQ(dataFile, m_folder + QStringLiteral("/Umbrill05.ini"));

    // The first keyboard language of the shipped data file, through the dialog.
    whenModal([](QWidget *dialog) {
        dialog->findChild<QListWidget *>(QStringLiteral("ListBox1"))->setCurrentRow(0, QItemSelectionModel::ClearAndSelect);
        dialog->findChild<QPushButton *>(QStringLiteral("OKBtn"))->click();
    });
    form.commands().LanguageClick();
    ASSERT_FALSE(form.state().CurrentLanguage().LanguageName.empty());
    const std::int32_t sizeBefore = form.state().CurrentLanguage().KeyFontSize;

    form.commands().setFontChooser([sizeBefore](const QFont &) { return QFont(QStringLiteral("DejaVu Serif"), sizeBefore + 7); });
    bool asked = false;
    form.commands().setConfirmer([&asked](const QString &) { asked = true; return true; });
    // Any box that opens is noted and closed; none should.
    QStringList shown;
    QTimer closer;
    closer.setInterval(5);
    QObject::connect(&closer, &QTimer::timeout, [&shown] {
        if (QWidget *w = QApplication::activeModalWidget()) {
            auto *box = qobject_cast<QMessageBox *>(w);
            shown << (box ? box->text() : w->objectName());
            w->close();
        }
    });
    closer.start();
    // The command is hidden from the menu; its action runs it as a click would,
    // inside the general error display.
    QAction *font = form.findChild<QAction *>(QStringLiteral("Font"));
    ASSERT_NE(font, nullptr);
    font->setEnabled(true);
    font->trigger();

    EXPECT_TRUE(asked);
    EXPECT_EQ(shown, QStringList());
    EXPECT_EQ(folderState(m_folder), before);
    QFile own(displayPath(form.state().ownLanguagesFile()));
    ASSERT_TRUE(own.open(QIODevice::ReadOnly));
    const QString name = QString::fromStdString(form.state().CurrentLanguage().LanguageName);
    EXPECT_TRUE(QString::fromUtf8(own.readAll()).contains(name + QStringLiteral("=\"DejaVu Serif\",")));
    // What the command changed in memory stays.
    EXPECT_EQ(form.state().CurrentLanguage().KeyFontName, "DejaVu Serif");
    EXPECT_EQ(form.state().CurrentLanguage().KeyFontSize, sizeBefore + 7);
}

} // namespace
} // namespace umbrill::test
