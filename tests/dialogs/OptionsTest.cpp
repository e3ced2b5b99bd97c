// The options dialog against a test-mode settings store: defaults, the
// text-transfer list and its stored form, the time-out field, OK and Cancel.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFocusEvent>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QTabWidget>
#include <QtTest/QTest>

#include "dialogs/FrmOptions.h"
#include "tests/support/QtTestSupport.h"
#include "util/CommaText.h"
#include "util/ui/ProgramFolders.h"
#include "util/ui/SettingsKey.h"
#include "util/ui/SpinEdit.h"

namespace {

using Entries = std::vector<std::string>;

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override { qttest::ClearSettings(); }
    static TSettingsKey Key() { return TSettingsKey(TfrmOptions::OptionsKey); }

    // Types `text` into the time-out field and moves the focus away.
    static int TypeTimeOut(TfrmOptions& form, const QString& text) {
        QLineEdit* edit = form.sedtTimeOut->findChild<QLineEdit*>();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(form.sedtTimeOut, &out);
        return form.sedtTimeOut->text().toInt();
    }

    // Presses Add and answers the input box with `answer`.
    static void AddViaDialog(TfrmOptions& form, const QString& answer) {
        bool seen = false;
        qttest::AnswerNextModal<QInputDialog>(
            [answer](QInputDialog* box) {
                EXPECT_EQ(box->labelText(), "Enter new text extension:");
                EXPECT_EQ(box->windowTitle(), "Quillford Velliant FTP");
                box->setTextValue(answer);
                box->accept();
            },
            &seen);
        form.btnAddFTPText->click();
        EXPECT_TRUE(seen);
    }
};

TEST_F(OptionsTest, FirstStartShowsTheDefaults) {
    TfrmOptions form;
    EXPECT_EQ(std::tuple(form.windowTitle(), form.size(), form.pgcOptions->currentIndex(), form.pgcOptions->tabText(1)),
              std::tuple("Options", QSize(350, 330), 0, "Transferring files"));
    for (const QCheckBox* box : {form.cbShowWebHosting, form.cbPlaySoundDownload, form.cbPlaySoundUpload, form.cbDirAutoRefresh})
        EXPECT_TRUE(box->isChecked()) << box->text().toStdString();
    const QString blip = QString::fromStdString(ProgramResourceFolder() + "blip.wav");
    EXPECT_EQ(std::tuple(form.ebxSoundDownload->text(), form.ebxSoundUpload->text()), std::tuple(blip, blip));
    EXPECT_TRUE(QFile::exists(blip)) << "the shipped sound is found";
    EXPECT_EQ(form.sedtTimeOut->Value(), 120);
    EXPECT_EQ(form.TextExtensions(), (Entries{".asp", ".c", ".c++", ".cpp", ".css", ".diz", ".doc", ".h", ".h++", ".hpp", ".htm",
                                              ".html", ".javascript", ".js", ".log", ".phtml", ".shtml", ".sql", ".txt"}));
    EXPECT_FALSE(form.btnRmvFTPText->isEnabled());
}

TEST_F(OptionsTest, StoredListDropsPicturesKeepsQuotedEntriesWholeAndMayBeEmpty) {
    for (const auto& [stored, shown] : {std::pair(".txt,.GIF,.html", Entries{".html", ".txt"}),
                                        {"\".my ext\",photo.jpeg,.Zip,.pl", Entries{".my ext", ".pl"}},
                                        {"", Entries{}},
                                        {".htm,", Entries{".htm"}},
                                        {"\"\"", Entries{}}}) {
        Key().WriteString("AsciiExt", stored);
        EXPECT_EQ(TfrmOptions().TextExtensions(), shown) << stored;
    }
}

TEST_F(OptionsTest, AddingTakesTheExtensionAndRefusesPictures) {
    TfrmOptions form;
    form.lbFTPTextExt->clear();
    bool refused = false;
    qttest::AnswerNextModal<QMessageBox>(
        [](QMessageBox* box) {
            EXPECT_EQ(box->text(), "This extension is not a Ascii Text type.");
            EXPECT_EQ(box->windowTitle(), "Quillford Velliant FTP");
            box->accept();
        },
        &refused);
    EXPECT_FALSE(form.AddTextExtension("picture.Jpg"));
    EXPECT_TRUE(refused);

    AddViaDialog(form, "notes.TXT");
    AddViaDialog(form, ".my ext");
    AddViaDialog(form, ".TXT");  // already present: listed twice
    EXPECT_FALSE(form.AddTextExtension("txt")) << "no extension: nothing is added";
    EXPECT_EQ(form.TextExtensions(), (Entries{".my ext", ".TXT", ".TXT"}));

    form.btnOkClick();
    EXPECT_EQ(Key().ReadString("AsciiExt", ""), "\".my ext\",.TXT,.TXT");
}

TEST_F(OptionsTest, RemoveNeedsASelectionAndAnEmptiedListStaysEmpty) {
    TfrmOptions form;
    EXPECT_FALSE(form.btnRmvFTPText->isEnabled());
    while (form.lbFTPTextExt->count() > 0) {
        form.lbFTPTextExt->setCurrentRow(0);
        ASSERT_TRUE(form.btnRmvFTPText->isEnabled());
        form.btnRmvFTPText->click();
        EXPECT_FALSE(form.btnRmvFTPText->isEnabled());
    }
    form.btnOkClick();
    EXPECT_EQ(Key().ReadString("AsciiExt", "x"), "") << "an emptied list is stored, not left to the default";
}

TEST_F(OptionsTest, TimeOutIsBroughtIntoRangeWhenTheFieldIsLeft) {
    TfrmOptions form;
    for (const auto& [typed, value] : {std::pair("0", 1), {"40000", 32768}, {"99999999999999999999", 32768}, {"45", 45}})
        EXPECT_EQ(TypeTimeOut(form, typed), value) << typed;
    form.sedtTimeOut->findChild<QLineEdit*>()->setText(QString());
    EXPECT_EQ(form.sedtTimeOut->Value(), 1) << "no number counts as 1";
}

// Both start on; typed and clicked on the FTP page, they are stored by OK
// and read by the next dialog.
TEST_F(OptionsTest, KeepFileTimesAndKeepAliveAreTypedStoredAndReadBack) {
    TfrmOptions form;
    form.show();
    EXPECT_EQ(std::tuple(form.cbKeepFileTimes->isChecked(), form.sedtKeepAlive->Value()), std::tuple(true, 60));
    QTabBar* tabs = form.pgcOptions->tabBar();
    QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(2).center());
    ASSERT_TRUE(form.cbKeepFileTimes->isVisible());
    QTest::mouseClick(form.cbKeepFileTimes, Qt::LeftButton, {}, QPoint(8, form.cbKeepFileTimes->height() / 2));
    QLineEdit* edit = form.sedtKeepAlive->findChild<QLineEdit*>();
    edit->selectAll();
    QTest::keyClicks(edit, "0");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(std::tuple(Key().ReadBool("KeepFileTimes", true), Key().ReadInteger("KeepAlive", -1)), std::tuple(false, 0));
    TfrmOptions next;
    EXPECT_EQ(std::tuple(next.cbKeepFileTimes->isChecked(), next.sedtKeepAlive->Value()), std::tuple(false, 0));
}

TEST_F(OptionsTest, OkStoresAndAppliesCancelRereadsCloseBoxKeepsEdits) {
    TfrmOptions form;
    std::vector<bool> applied;
    form.OnApplyOptions = [&](TfrmOptions* sender, bool show) {
        EXPECT_EQ(sender, &form);
        applied.push_back(show);
    };
    form.cbShowWebHosting->setChecked(false);
    form.cbDirAutoRefresh->setChecked(false);
    TypeTimeOut(form, "300");
    form.btnOk->click();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(applied, (std::vector<bool>{false}));
    for (const auto& [value, stored] : {std::pair("WebHostingButton", 0), {"FTPAutoRefresh", 0}, {"FTPTimeOut", 300}})
        EXPECT_EQ(Key().ReadInteger(value, -1), stored) << value;

    form.cbShowWebHosting->setChecked(true);
    form.btnCancel->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    EXPECT_FALSE(form.cbShowWebHosting->isChecked()) << "Cancel restores the stored state";
    EXPECT_EQ(applied.size(), 1u);

    form.show();
    form.cbPlaySoundUpload->setChecked(false);
    form.close();
    EXPECT_EQ(std::tuple(form.cbPlaySoundUpload->isChecked(), Key().ReadInteger("PlayUpload", -1)), std::tuple(false, 1))
        << "the close box neither stores nor rereads";
}

TEST_F(OptionsTest, WaveBrowseOffersWaveFilesAndTakesTheChoice) {
    QTemporaryDir dir;
    const QString wave = dir.path() + "/ding.wav";
    qttest::WriteFile(wave.toStdString(), "RIFF");
    TfrmOptions form;
    bool seen = false;
    qttest::AnswerNextModal<QFileDialog>(
        [wave](QFileDialog* dialog) {
            EXPECT_EQ(std::tuple(dialog->windowTitle(), dialog->nameFilters(), dialog->fileMode()),
                      std::tuple("Choose Wave file to play when upload finishes", QStringList{"Wave files (*.wav)"},
                                 QFileDialog::ExistingFile));
            // Typed as a user would: while the name field has the focus,
            // selectFile() leaves its text to the folder listing that loads
            // in the background, and accepting early raises a "not found" box.
            dialog->selectFile(wave);
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) name->setText(wave);
            if (dialog->selectedFiles() == QStringList{wave}) static_cast<QDialog*>(dialog)->accept();
            EXPECT_FALSE(dialog->isVisible()) << dialog->selectedFiles().join(',').toStdString();
            if (dialog->isVisible()) dialog->reject();
        },
        &seen);
    form.btnOpenUpWave->click();
    EXPECT_TRUE(seen);
    EXPECT_EQ(form.ebxSoundUpload->text(), wave);
}

TEST(CommaTextTest, WritesAndReadsTheStoredListForm) {
    EXPECT_EQ(CommaTextOf({}), "");
    EXPECT_EQ(CommaTextOf({""}), "\"\"");
    EXPECT_EQ(CommaTextOf({".a", "b c", "q\"t", "x,y", ""}), ".a,\"b c\",\"q\"\"t\",\"x,y\",");
    EXPECT_EQ(ParseCommaText(".a,\"b c\",\"q\"\"t\",\"x,y\","), (Entries{".a", "b c", "q\"t", "x,y", ""}));
    EXPECT_EQ(ParseCommaText("  .a  .b,\t.c ,"), (Entries{".a", ".b", ".c", ""}));
    EXPECT_EQ(ParseCommaText("\"\""), (Entries{""}));
    EXPECT_EQ(ParseCommaText(""), Entries{});
    EXPECT_EQ(ParseCommaText("\"open"), (Entries{"open"}));
    EXPECT_EQ(ExtensionOf("a.tar.gz"), ".gz");
    EXPECT_EQ(ExtensionOf("txt"), "");
    EXPECT_TRUE(IsRefusedTextExtension(".JpEg"));
    EXPECT_FALSE(IsRefusedTextExtension(".jpg2"));
}

TEST_F(OptionsTest, AStoreThatCannotBeWrittenIsSkippedInSilence) {
    // A folder where the store's file should be: no write can succeed, even
    // for a privileged user.
    const QString store = QSettings(QStringLiteral("Orvan Software"), QStringLiteral("Velliant FTP")).fileName();
    QFile::remove(store);
    ASSERT_TRUE(QDir().mkpath(store));

    // The options dialog stores nothing and says nothing, as a store
    // that cannot be opened for writing is skipped on purpose.
    TfrmOptions form;
    bool applied = false;
    form.OnApplyOptions = [&](TfrmOptions*, bool) { applied = true; };
    form.cbShowWebHosting->setChecked(false);
    form.btnOkClick();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_TRUE(applied);
    EXPECT_FALSE(
        QSettings(QStringLiteral("Orvan Software"), QStringLiteral("Velliant FTP")).contains("Options/WebHostingButton"));
    QDir(store).removeRecursively();
}

}  // namespace
