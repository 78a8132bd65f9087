// The Font command against an installed program folder whose data file cannot
// be written. The install test script installs the program, takes the write
// bits off the data file or its folder, and names the folder in
// UMBRILL_INSTALLED_PROGRAM_DIR. Yes then shows "Unable to write to <path>" and
// leaves the folder exactly as it was.
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

TEST_F(InstalledDataFile, FontYesSaysUnableToWriteAndChangesNoFile)
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
    form.LanguageClick();
    ASSERT_FALSE(form.state().CurrentLanguage().LanguageName.empty());
    const std::int32_t sizeBefore = form.state().CurrentLanguage().KeyFontSize;

    form.chooseFont = [sizeBefore](const QFont &) { return QFont(QStringLiteral("DejaVu Serif"), sizeBefore + 7); };
    bool asked = false;
    form.confirm = [&asked](const QString &) { asked = true; return true; };
    QStringList shown;
    whenModal([&shown](QWidget *w) {
        auto *box = qobject_cast<QMessageBox *>(w);
        ASSERT_NE(box, nullptr);
        shown << box->text();
        box->button(QMessageBox::Ok)->click();
    });
    // The command is hidden from the menu; its action runs it as a click would,
    // inside the general error display.
    QAction *font = form.findChild<QAction *>(QStringLiteral("Font"));
    ASSERT_NE(font, nullptr);
    font->setEnabled(true);
    font->trigger();

    EXPECT_TRUE(asked);
    EXPECT_EQ(shown, QStringList{QString::fromStdString(errorDisplayText("Unable to write to " + dataFile.toStdString()))});
    EXPECT_EQ(folderState(m_folder), before);
    // What the command changed in memory stays.
    EXPECT_EQ(form.state().CurrentLanguage().KeyFontName, "DejaVu Serif");
    EXPECT_EQ(form.state().CurrentLanguage().KeyFontSize, sizeBefore + 7);
}

} // namespace
} // namespace umbrill::test
